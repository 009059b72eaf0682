#include "shell/SoundMidi.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "shell/SoundBackend.h"

namespace duduri {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000;  // microseconds per quarter note

[[noreturn]] void fail(const std::string& why) {
  throw ESoundError("Invalid MIDI sound: " + why + ".");
}

std::uint32_t be16(const std::byte* p) {
  return std::to_integer<std::uint32_t>(p[0]) << 8 | std::to_integer<std::uint32_t>(p[1]);
}
std::uint32_t be32(const std::byte* p) {
  return be16(p) << 16 | be16(p + 2);
}
std::uint32_t le32(const std::byte* p) {
  return std::to_integer<std::uint32_t>(p[0]) | std::to_integer<std::uint32_t>(p[1]) << 8 |
         std::to_integer<std::uint32_t>(p[2]) << 16 | std::to_integer<std::uint32_t>(p[3]) << 24;
}
bool tagIs(const std::byte* p, const char* tag) {
  return std::memcmp(p, tag, 4) == 0;
}

struct TTempo {
  std::uint64_t Tick;
  std::uint32_t MicrosPerQuarter;
};

// One track's events, checked against the track's own end.
class TTrackWalker {
 public:
  explicit TTrackWalker(TByteSpan track) : track_(track) {}

  // Returns the tick of the track's last event; appends its tempo changes.
  std::uint64_t Walk(std::vector<TTempo>& tempos) {
    std::uint64_t tick = 0;
    std::uint32_t running = 0;
    while (at_ < track_.size()) {
      tick += quantity();
      std::uint32_t status = byte();
      if (status < 0x80) {
        if (running == 0) fail("running status with no status before it");
        --at_;  // the byte read is the event's first data byte
        status = running;
      }
      if (status == 0xFF) {
        const std::uint32_t type = byte();
        const std::size_t length = quantity();
        const TByteSpan data = bytes(length);
        if (type == 0x51 && length == 3) {
          const std::uint32_t tempo = be16(data.data()) << 8 | std::to_integer<std::uint32_t>(data[2]);
          if (tempo > 0) tempos.push_back({tick, tempo});
        }
        if (type == 0x2F) break;  // end of track: the rest is not played
      } else if (status == 0xF0 || status == 0xF7) {
        bytes(quantity());
        running = 0;
      } else if (status > 0xF0) {
        fail("system message inside a track");
      } else {
        running = status;
        const int count = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        for (int i = 0; i < count; ++i) {
          if (byte() >= 0x80) fail("data byte out of range");
        }
      }
    }
    return tick;
  }

 private:
  std::uint32_t byte() {
    if (at_ >= track_.size()) fail("event runs past the end of its track");
    return std::to_integer<std::uint32_t>(track_[at_++]);
  }
  // A variable-length quantity: at most four bytes, 28 bits.
  std::size_t quantity() {
    std::size_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const std::uint32_t b = byte();
      value = value << 7 | (b & 0x7F);
      if (!(b & 0x80)) return value;
    }
    fail("variable-length quantity longer than four bytes");
  }
  TByteSpan bytes(std::size_t length) {
    if (length > track_.size() - at_) fail("event length runs past the end of its track");
    const TByteSpan data = track_.subspan(at_, length);
    at_ += length;
    return data;
  }

  TByteSpan track_;
  std::size_t at_ = 0;
};

// The SMF inside an RMID file's "data" chunk.
TByteSpan unwrapRmid(TByteSpan file) {
  std::size_t at = 12;
  while (file.size() - at >= 8) {
    const std::size_t size = le32(file.data() + at + 4);
    const std::size_t left = file.size() - at - 8;
    if (size > left) fail("RMID chunk runs past the end of the file");
    if (tagIs(file.data() + at, "data")) return file.subspan(at + 8, size);
    at += 8 + size + (size & 1);
    if (at > file.size()) break;
  }
  fail("RMID file without a data chunk");
}

std::int64_t lengthMs(std::uint64_t lastTick, std::vector<TTempo> tempos,
                      std::uint32_t division) {
  std::stable_sort(tempos.begin(), tempos.end(),
                   [](const TTempo& a, const TTempo& b) { return a.Tick < b.Tick; });
  double micros = 0;
  std::uint64_t tick = 0;
  std::uint32_t tempo = kDefaultTempo;
  for (const TTempo& t : tempos) {
    if (t.Tick >= lastTick) break;
    micros += double(t.Tick - tick) * tempo / division;
    tick = t.Tick;
    tempo = t.MicrosPerQuarter;
  }
  micros += double(lastTick - tick) * tempo / division;
  // Absurd deltas and tempos make absurd lengths, not an overflow.
  return std::int64_t(std::min(micros / 1000.0, 9.0e15));
}

}  // namespace

TMidiInfo ReadMidi(TByteSpan file) {
  TMidiInfo info;
  if (file.size() >= 12 && tagIs(file.data(), "RIFF") && tagIs(file.data() + 8, "RMID")) {
    file = unwrapRmid(file);
  }
  if (file.size() < 14 || !tagIs(file.data(), "MThd")) fail("not a Standard MIDI File");
  const std::size_t headerSize = be32(file.data() + 4);
  if (headerSize < 6 || headerSize > file.size() - 8) fail("bad header length");
  const std::byte* h = file.data() + 8;
  info.Format = std::uint16_t(be16(h));
  info.Tracks = std::uint16_t(be16(h + 2));
  info.Division = std::uint16_t(be16(h + 4));
  if (info.Format > 2) fail("unknown format " + std::to_string(info.Format));
  if (info.Tracks == 0) fail("no tracks");
  if (info.Format == 0 && info.Tracks != 1) fail("a format 0 file with more than one track");
  if (info.Division == 0 || (info.Division & 0x8000)) fail("unsupported time division");

  std::vector<TTempo> tempos;
  std::uint64_t lastTick = 0;
  std::size_t at = 8 + headerSize;
  int found = 0;
  while (found < info.Tracks && file.size() - at >= 8) {
    const std::byte* head = file.data() + at;
    const std::size_t size = be32(head + 4);
    if (size > file.size() - at - 8) fail("chunk runs past the end of the file");
    at += 8;
    if (tagIs(head, "MTrk")) {
      lastTick = std::max(lastTick, TTrackWalker(file.subspan(at, size)).Walk(tempos));
      ++found;
    }
    at += size;
  }
  if (found < info.Tracks) {
    fail("the header counts " + std::to_string(info.Tracks) + " tracks, the file holds " +
         std::to_string(found));
  }
  info.LengthMs = lengthMs(lastTick, std::move(tempos), info.Division);
  info.Smf = file.first(at);
  return info;
}

}  // namespace duduri
