#include "project/HighScore.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

#include "raster/Picture.h"

namespace duduri {

namespace {

const char* const kReadError = "Stream read error";
constexpr std::byte kSignature[4] = {std::byte{'H'}, std::byte{'G'}, std::byte{'S'},
                                     std::byte{'C'}};
constexpr std::uint16_t kEndTag = 4320;
constexpr std::uint16_t kFirstLevelTag = 4321;
constexpr std::uint16_t kLastLevelTag = 4324;
// A high-score file holds a few hundred bytes; anything near this is not one.
constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

// Tags 4321, 4322, 4323 hold levels 1, 2, 3; 4324 holds level 0.
int LevelOfTag(std::uint16_t tag) {
  return tag == kLastLevelTag ? 0 : tag - kFirstLevelTag + 1;
}

std::uint16_t TagOfLevel(int level) {
  return level == 0 ? kLastLevelTag : std::uint16_t(kFirstLevelTag + level - 1);
}

bool ValidLevel(int level) {
  return level >= 0 && level < kScoreLevelCount;
}

class TReader {
 public:
  explicit TReader(std::span<const std::byte> data) : data_(data) {}
  std::size_t Remaining() const { return data_.size() - position_; }
  void Need(std::size_t n) const {
    if (n > Remaining()) throw EHighScoreError(kReadError);
  }
  std::uint16_t U16() {
    Need(2);
    const std::byte* p = data_.data() + position_;
    position_ += 2;
    return std::uint16_t(std::uint16_t(p[0]) | std::uint16_t(p[1]) << 8);
  }
  std::int32_t I32() {
    Need(4);
    const std::byte* p = data_.data() + position_;
    position_ += 4;
    return std::bit_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                       std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
  }
  std::uint8_t U8() {
    Need(1);
    return std::uint8_t(data_[position_++]);
  }
  std::string String(std::int32_t length) {
    if (length < 0) throw EHighScoreError(kReadError);
    Need(std::size_t(length));
    std::string s(reinterpret_cast<const char*>(data_.data() + position_), std::size_t(length));
    position_ += std::size_t(length);
    return s;
  }
  void Skip(std::int32_t length) {
    if (length < 0) throw EHighScoreError(kReadError);
    Need(std::size_t(length));
    position_ += std::size_t(length);
  }
  bool StartsWith(std::span<const std::byte> bytes) const {
    return Remaining() >= bytes.size() &&
           std::memcmp(data_.data() + position_, bytes.data(), bytes.size()) == 0;
  }

 private:
  std::span<const std::byte> data_;
  std::size_t position_ = 0;
};

// Smallest stored entry: name length, score and level with an empty name.
constexpr std::size_t kMinEntryBytes = 9;

void AppendU16(std::vector<std::byte>& out, std::uint16_t value) {
  out.push_back(std::byte(value & 0xFF));
  out.push_back(std::byte(value >> 8));
}

void AppendI32(std::vector<std::byte>& out, std::int32_t value) {
  const auto u = std::bit_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(std::byte(u >> shift));
}

bool ScoreLess(const THighScoreData& a, const THighScoreData& b) {
  return a.Score < b.Score;
}

}  // namespace

const char* HighScoreLevelName(int level) {
  switch (level) {
    case kScoreEasy:
      return "Easy";
    case kScoreNormal:
      return "Normal";
    case kScoreHard:
      return "Hard";
    case kScoreVeryEasy:
      return "Very Easy";
    default:
      return "";
  }
}

THighScoreQualification THighScore::Qualifies(int level, std::int32_t score) const {
  if (!ValidLevel(level)) return {};
  const std::vector<THighScoreData>& list = lists_[std::size_t(level)];
  for (int i = 0; i < kHighScorePlaces; ++i) {
    const std::int32_t entryScore =
        std::size_t(i) < list.size() ? list[std::size_t(i)].Score : std::int32_t(-1);
    if (score < entryScore || entryScore == -1) return {true, i};
  }
  return {};
}

void THighScore::Add(const THighScoreData& entry) {
  if (!ValidLevel(entry.Level)) return;
  std::vector<THighScoreData>& list = lists_[entry.Level];
  list.insert(std::upper_bound(list.begin(), list.end(), entry, ScoreLess), entry);
}

THighScoreData THighScore::EntryAt(int level, int index) const {
  if (ValidLevel(level) && index >= 0) {
    const std::vector<THighScoreData>& list = lists_[std::size_t(level)];
    if (std::size_t(index) < list.size()) return list[std::size_t(index)];
  }
  THighScoreData empty;
  empty.Level = ValidLevel(level) ? std::uint8_t(level) : 0;
  return empty;
}

int THighScore::Count(int level) const {
  return ValidLevel(level) ? int(lists_[std::size_t(level)].size()) : 0;
}

void THighScore::Clear(int level) {
  if (ValidLevel(level)) lists_[std::size_t(level)].clear();
}

std::vector<std::byte> THighScore::SaveToBytes() const {
  std::vector<std::byte> out(std::begin(kSignature), std::end(kSignature));
  for (int level : {1, 2, 3, 0}) {
    const std::vector<THighScoreData>& list = lists_[std::size_t(level)];
    if (list.empty()) continue;
    std::uint64_t blockLength = 4;
    for (const THighScoreData& entry : list) blockLength += entry.Name.size() + kMinEntryBytes;
    if (blockLength > std::uint64_t(std::numeric_limits<std::int32_t>::max())) {
      throw EHighScoreError("The high-score table is too large to be saved.");
    }
    AppendU16(out, TagOfLevel(level));
    AppendI32(out, std::int32_t(blockLength));
    AppendI32(out, std::int32_t(list.size()));
    for (const THighScoreData& entry : list) {
      AppendI32(out, std::int32_t(entry.Name.size()));
      const auto* name = reinterpret_cast<const std::byte*>(entry.Name.data());
      out.insert(out.end(), name, name + entry.Name.size());
      AppendI32(out, entry.Score);
      out.push_back(std::byte(entry.Level));
    }
  }
  AppendU16(out, kEndTag);
  return out;
}

void THighScore::SaveToFile(const std::filesystem::path& path) const {
  const std::vector<std::byte> bytes = SaveToBytes();
  std::error_code error;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
  WriteFileAtomically(path, bytes);
}

void THighScore::LoadFromBytes(std::span<const std::byte> data) {
  TReader reader(data);
  if (!reader.StartsWith(kSignature)) return;
  reader.Skip(4);
  for (;;) {
    const std::uint16_t tag = reader.U16();
    if (tag == kEndTag) break;
    const std::int32_t blockLength = reader.I32();
    if (tag < kFirstLevelTag || tag > kLastLevelTag) {
      reader.Skip(blockLength);
      continue;
    }
    const std::int32_t count = reader.I32();
    if (count < 0) throw EHighScoreError(kReadError);
    // Entries are taken one at a time: a count past the end never reserves
    // memory, and the entries before the damage are kept.
    std::vector<THighScoreData> list;
    list.reserve(std::min<std::size_t>(std::size_t(count), reader.Remaining() / kMinEntryBytes));
    std::vector<THighScoreData>& target = lists_[std::size_t(LevelOfTag(tag))];
    try {
      for (std::int32_t i = 0; i < count; ++i) {
        THighScoreData entry;
        entry.Name = reader.String(reader.I32());
        entry.Score = reader.I32();
        entry.Level = reader.U8();
        list.push_back(std::move(entry));
      }
    } catch (const EHighScoreError&) {
      std::stable_sort(list.begin(), list.end(), ScoreLess);
      target = std::move(list);
      throw;
    }
    // Stored tables are sorted already; a hand-edited one is put in order so
    // that Qualifies and Add keep working on it.
    std::stable_sort(list.begin(), list.end(), ScoreLess);
    target = std::move(list);
  }
}

void THighScore::LoadFromFile(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) throw EHighScoreError("Cannot open file \"" + path.string() + "\".");
  if (size > kMaxFileBytes) throw EHighScoreError(kReadError);
  std::vector<std::byte> bytes;
  try {
    bytes = ReadFileBytes(path);
  } catch (const EDuduriError& e) {
    throw EHighScoreError(e.what());
  }
  LoadFromBytes(bytes);
}

std::filesystem::path HighScoreFilePath(const std::filesystem::path& executableFolder,
                                        bool executableFolderWritable, const char* xdgDataHome,
                                        const char* home) {
  if (executableFolderWritable) return executableFolder / kHighScoreFileName;
  // Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
    return std::filesystem::path(xdgDataHome) / "duduri" / kHighScoreFileName;
  }
  if (home != nullptr && home[0] != '\0') {
    return std::filesystem::path(home) / ".local" / "share" / "duduri" / kHighScoreFileName;
  }
  return executableFolder / kHighScoreFileName;
}

std::filesystem::path HighScoreFilePath(const std::filesystem::path& executableFolder) {
  const std::filesystem::path folder = executableFolder.empty() ? "." : executableFolder;
  // An installed player (its data in ../share/duduri, none beside it) lives
  // in a folder the package manager owns, even when root may write there.
  std::error_code ec;
  const bool installed =
      !std::filesystem::exists(folder / "all.pzjc", ec) &&
      std::filesystem::exists(folder / ".." / "share" / "duduri" / "all.pzjc", ec);
  const bool writable = !installed && ::access(folder.c_str(), W_OK) == 0;
  return HighScoreFilePath(executableFolder, writable, std::getenv("XDG_DATA_HOME"),
                           std::getenv("HOME"));
}

}  // namespace duduri
