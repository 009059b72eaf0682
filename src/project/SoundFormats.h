#pragma once
// TSoundIDFormatAssoc: which format each sound id of a project has. Stream: a
// 44449 record per pair (u32 tag, u32 size 8, i32 id, u8 code, 3 spare
// bytes) in list order, then the end record 44448 with size 0.

#include <cstdint>
#include <vector>

#include "project/ByteStream.h"

namespace duduri {

// Stored format codes; 0 means no entry.
inline constexpr std::uint8_t kSoundCodeWave = 1;
inline constexpr std::uint8_t kSoundCodeMidi = 2;
inline constexpr std::uint8_t kSoundCodeWma = 3;
inline constexpr std::uint8_t kSoundCodeMp3 = 4;

inline constexpr std::uint32_t kSoundAssocPair = 44449;
inline constexpr std::uint32_t kSoundAssocEnd = 44448;

struct TSoundIDFormatPair {
  std::int32_t SoundID = 0;
  std::uint8_t Format = 0;
  friend bool operator==(const TSoundIDFormatPair&, const TSoundIDFormatPair&) = default;
};

class TSoundIDFormatAssoc {
 public:
  void Add(std::int32_t soundId, std::uint8_t format) { pairs_.push_back({soundId, format}); }
  // The code of the first pair with the id, else 0.
  std::uint8_t Lookup(std::int32_t soundId) const;
  std::size_t Count() const { return pairs_.size(); }
  bool Empty() const { return pairs_.empty(); }
  const std::vector<TSoundIDFormatPair>& Pairs() const { return pairs_; }
  void Clear() { pairs_.clear(); }

  void WriteStream(TByteWriter& out) const;
  TBytes StreamBytes() const;
  // Empties the list, then reads records from the start of the stream until
  // the end tag.
  void ReadStream(TByteSpan stream);

  friend bool operator==(const TSoundIDFormatAssoc&, const TSoundIDFormatAssoc&) = default;

 private:
  std::vector<TSoundIDFormatPair> pairs_;
};

}  // namespace duduri
