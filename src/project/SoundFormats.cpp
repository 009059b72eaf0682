#include "project/SoundFormats.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace duduri {

std::uint8_t TSoundIDFormatAssoc::Lookup(std::int32_t soundId) const {
  for (const TSoundIDFormatPair& p : pairs_)
    if (p.SoundID == soundId) return p.Format;
  return 0;
}

void TSoundIDFormatAssoc::WriteStream(TByteWriter& out) const {
  for (const TSoundIDFormatPair& p : pairs_) {
    out.U32(kSoundAssocPair);
    out.U32(8);
    out.I32(p.SoundID);
    out.U8(p.Format);
    out.Zeros(3);
  }
  out.U32(kSoundAssocEnd);
  out.U32(0);
}

TBytes TSoundIDFormatAssoc::StreamBytes() const {
  TByteWriter out;
  WriteStream(out);
  return out.Take();
}

void TSoundIDFormatAssoc::ReadStream(TByteSpan stream) {
  TByteReader in(stream);
  std::vector<TSoundIDFormatPair> pairs;
  for (;;) {
    const std::uint32_t tag = in.U32();
    const std::uint32_t size = in.U32();
    if (tag == kSoundAssocEnd) break;
    TByteSpan payload = in.Bytes(size);
    if (tag != kSoundAssocPair) continue;
    // A longer payload counts with its first 8 bytes; a shorter one is
    // taken as far as it goes, the rest as zero.
    std::array<std::byte, 8> record{};
    std::memcpy(record.data(), payload.data(), std::min<std::size_t>(payload.size(), 8));
    TByteReader r(record);
    const std::int32_t id = r.I32();
    pairs.push_back({id, r.U8()});
  }
  pairs_ = std::move(pairs);
}

}  // namespace duduri
