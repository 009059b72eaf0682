#include "shell/RecentFiles.h"

#include <algorithm>

namespace duduri {

TRecentFiles::TRecentFiles(const std::vector<std::string>& stored) {
  // Read from a settings file the user may have edited by hand.
  for (const std::string& file : stored) {
    if (file.empty() || std::find(files_.begin(), files_.end(), file) != files_.end()) continue;
    if (files_.size() == kMaxFiles) break;
    files_.push_back(file);
  }
}

void TRecentFiles::Add(const std::string& file) {
  if (file.empty()) return;
  Remove(file);
  files_.insert(files_.begin(), file);
  if (files_.size() > kMaxFiles) files_.resize(kMaxFiles);
}

void TRecentFiles::Remove(const std::string& file) {
  std::erase(files_, file);
}

}  // namespace duduri
