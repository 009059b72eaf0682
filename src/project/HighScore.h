#pragma once
// THighScore: the best completion times of the player, one table per score
// level, kept in "highscorefile.dat". Lower scores (seconds on the clock) are
// better; each table is sorted ascending and entries with equal scores keep
// the order in which they were added.
//
// The file is "HGSC", then one block per non-empty level in the order
// 1, 2, 3, 0 (tags 4321..4324), then the end tag 4320. Unknown tags are
// skipped by their block length. Reading is forgiving on purpose: a file
// with another signature is ignored, and a damaged file keeps the entries
// read before the damage and then throws, so the player can always start.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "raster/Error.h"

namespace duduri {

// Thrown when a high-score file ends early or holds impossible lengths
// ("Stream read error"), or cannot be written.
class EHighScoreError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// Score levels: the main window maps a game's piece-count range to one.
inline constexpr std::uint8_t kScoreEasy = 0;
inline constexpr std::uint8_t kScoreNormal = 1;
inline constexpr std::uint8_t kScoreHard = 2;
inline constexpr std::uint8_t kScoreVeryEasy = 3;
inline constexpr int kScoreLevelCount = 4;
// How many places a table shows; lists themselves are not cut to this.
inline constexpr int kHighScorePlaces = 10;

inline constexpr const char* kHighScoreFileName = "highscorefile.dat";

struct THighScoreData {
  std::string Name;
  std::int32_t Score = -1;  // seconds; -1 marks an empty place
  std::uint8_t Level = 0;
  friend bool operator==(const THighScoreData&, const THighScoreData&) = default;
};

struct THighScoreQualification {
  bool Qualifies = false;
  int Position = -1;  // 0-based place in the table, -1 when it does not qualify
};

// "Easy", "Normal", "Hard", "Very Easy"; an empty string for other codes.
const char* HighScoreLevelName(int level);

class THighScore {
 public:
  // Whether `score` enters the first ten places of `level`, and where. An
  // empty place counts as an entry with score -1 and admits any score; a
  // score equal to an entry's does not pass it.
  THighScoreQualification Qualifies(int level, std::int32_t score) const;
  // Inserts after every entry with a score lower than or equal to the new
  // one. Entries whose level is not 0..3 are ignored.
  void Add(const THighScoreData& entry);
  // A copy of the entry, or {"", -1, level} outside the list.
  THighScoreData EntryAt(int level, int index) const;
  int Count(int level) const;
  void Clear(int level);

  std::vector<std::byte> SaveToBytes() const;
  // Creates the parent folder when needed and writes through a temporary
  // file renamed over the old one. Throws EDuduriError on failure, with the
  // old file untouched.
  void SaveToFile(const std::filesystem::path& path) const;
  // A wrong signature leaves the tables as they are. Each level block that
  // is read replaces that level's list; when the data ends early or holds an
  // impossible length, the entries read up to there stay and
  // EHighScoreError("Stream read error") is thrown.
  void LoadFromBytes(std::span<const std::byte> data);
  void LoadFromFile(const std::filesystem::path& path);

 private:
  std::array<std::vector<THighScoreData>, kScoreLevelCount> lists_;
};

// Where the high-score file lives: beside the executable when that folder is
// writable, otherwise in the user's data folder ($XDG_DATA_HOME/duduri when
// XDG_DATA_HOME is an absolute path, else $HOME/.local/share/duduri), so an
// installed player still keeps its scores. Without any usable variable the
// folder beside the executable is returned.
std::filesystem::path HighScoreFilePath(const std::filesystem::path& executableFolder,
                                        bool executableFolderWritable, const char* xdgDataHome,
                                        const char* home);
// The same with the folder's writability and the environment looked up. An
// installed player (all.pzjc in ../share/duduri rather than beside it) counts
// as not writable: its folder belongs to the package manager.
std::filesystem::path HighScoreFilePath(const std::filesystem::path& executableFolder);

}  // namespace duduri
