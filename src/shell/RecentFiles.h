#pragma once
// The recently played projects and pictures, newest first: the list behind
// the player's "Recent" menu. Kept apart from the project (a project never
// records where it was played from) and from the toolkit: the window loads
// and stores the list in the user's settings.

#include <cstddef>
#include <string>
#include <vector>

namespace duduri {

class TRecentFiles {
 public:
  static constexpr std::size_t kMaxFiles = 10;

  // Entries as stored: empty ones and repeats are dropped, the rest kept in
  // order up to kMaxFiles.
  explicit TRecentFiles(const std::vector<std::string>& stored = {});

  // Puts a file first (moving it there when it was listed already).
  void Add(const std::string& file);
  void Remove(const std::string& file);
  void Clear() { files_.clear(); }
  const std::vector<std::string>& Files() const { return files_; }

 private:
  std::vector<std::string> files_;
};

}  // namespace duduri
