#include "shell/SoundWave.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "shell/SoundBackend.h"

namespace duduri {

namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr std::uint16_t kMaxChannels = 16;
constexpr std::uint32_t kMinRate = 1000;
constexpr std::uint32_t kMaxRate = 768000;

[[noreturn]] void fail(const std::string& why) {
  throw ESoundError("Invalid WAV sound: " + why + ".");
}

std::uint16_t u16(const std::byte* p) {
  return std::uint16_t(std::to_integer<unsigned>(p[0]) | std::to_integer<unsigned>(p[1]) << 8);
}
std::uint32_t u32(const std::byte* p) {
  return std::uint32_t(u16(p)) | std::uint32_t(u16(p + 2)) << 16;
}
bool tagIs(const std::byte* p, const char* tag) {
  return std::memcmp(p, tag, 4) == 0;
}

TWaveFormat readFormat(TByteSpan chunk) {
  if (chunk.size() < 16) fail("format chunk too short");
  const std::byte* p = chunk.data();
  std::uint16_t tag = u16(p);
  TWaveFormat f;
  f.Channels = u16(p + 2);
  f.SampleRate = u32(p + 4);
  f.BlockAlign = u16(p + 12);
  f.BitsPerSample = u16(p + 14);
  if (tag == kTagExtensible) {
    // cbSize, valid bits, channel mask, then the sub-format GUID whose first
    // two bytes are the plain tag.
    if (chunk.size() < 40) fail("extensible format chunk too short");
    tag = u16(p + 24);
  }
  if (tag == kTagPcm) {
    f.Encoding = TWaveEncoding::weInt;
    if (f.BitsPerSample != 8 && f.BitsPerSample != 16 && f.BitsPerSample != 24 &&
        f.BitsPerSample != 32) {
      fail("PCM of " + std::to_string(f.BitsPerSample) + " bits is not supported");
    }
  } else if (tag == kTagFloat) {
    f.Encoding = TWaveEncoding::weFloat;
    if (f.BitsPerSample != 32 && f.BitsPerSample != 64) fail("float samples of unusual size");
  } else {
    fail("compressed encoding " + std::to_string(tag) + " is not supported");
  }
  if (f.Channels == 0 || f.Channels > kMaxChannels) fail("bad channel count");
  if (f.SampleRate < kMinRate || f.SampleRate > kMaxRate) fail("bad sample rate");
  if (f.BlockAlign != f.Channels * (f.BitsPerSample / 8)) fail("block size does not fit the format");
  return f;
}

}  // namespace

TWaveData ReadWave(TByteSpan file) {
  if (file.size() < 12 || !tagIs(file.data(), "RIFF") || !tagIs(file.data() + 8, "WAVE")) {
    fail("not a RIFF WAVE file");
  }
  // The RIFF size is often wrong in files written while recording; the
  // chunks themselves say where things are.
  std::size_t at = 12;
  bool haveFormat = false;
  TWaveData result;
  TByteSpan samples;
  bool haveData = false;
  while (file.size() - at >= 8) {
    const std::byte* head = file.data() + at;
    const std::size_t size = u32(head + 4);
    const std::size_t left = file.size() - at - 8;
    at += 8;
    if (tagIs(head, "data") && !haveData) {
      samples = file.subspan(at, std::min(size, left));
      haveData = true;
    } else if (tagIs(head, "fmt ") && !haveFormat) {
      if (size > left) fail("format chunk cut short");
      result.Format = readFormat(file.subspan(at, size));
      haveFormat = true;
    }
    if (size >= left) break;
    at += size + (size & 1);
    if (at > file.size()) break;
  }
  if (!haveFormat) fail("no format chunk");
  if (!haveData) fail("no data chunk");
  result.Frames = samples.size() / result.Format.BlockAlign;
  if (result.Frames == 0) fail("no samples");
  result.Samples = samples.first(result.Frames * result.Format.BlockAlign);
  return result;
}

// ---- Voice --------------------------------------------------------------------

TWaveVoice::TWaveVoice(std::shared_ptr<const TBytes> file, const TWaveData& wave)
    : file_(std::move(file)), wave_(wave), right_(wave.Format.Channels > 1 ? 1 : 0) {
  step_ = (std::uint64_t(wave_.Format.SampleRate) << 32) / kMixRate;
}

std::uint64_t TWaveVoice::Length() const {
  return std::uint64_t(wave_.Frames) * kMixRate / wave_.Format.SampleRate;
}

std::int32_t TWaveVoice::sample(std::size_t frame, int channel) const {
  const TWaveFormat& f = wave_.Format;
  const std::byte* p =
      wave_.Samples.data() + frame * f.BlockAlign + std::size_t(channel) * (f.BitsPerSample / 8);
  if (f.Encoding == TWaveEncoding::weFloat) {
    double v = 0;
    if (f.BitsPerSample == 32) {
      float x;
      std::memcpy(&x, p, 4);
      v = x;
    } else {
      std::memcpy(&v, p, 8);
    }
    if (!std::isfinite(v)) return 0;
    return std::int32_t(std::clamp(v, -1.0, 1.0) * 32767.0);
  }
  switch (f.BitsPerSample) {
    case 8:
      return (std::to_integer<std::int32_t>(p[0]) - 128) * 256;
    case 16:
      return std::int16_t(u16(p));
    case 24:
      return std::int32_t((std::uint32_t(u16(p)) | std::uint32_t(p[2]) << 16) << 8) >> 16;
    default:
      return std::int32_t(u32(p)) >> 16;
  }
}

std::size_t TWaveVoice::MixInto(std::int32_t* mix, std::size_t frames) {
  const std::size_t last = wave_.Frames - 1;
  std::size_t done = 0;
  for (; done < frames; ++done) {
    const std::size_t i = std::size_t(position_ >> 32);
    if (i > last) break;
    const std::size_t j = std::min(i + 1, last);
    const std::int64_t frac = std::int64_t((position_ & 0xFFFFFFFFu) >> 16);  // 16 bits
    for (int c = 0; c < 2; ++c) {
      const int channel = c == 0 ? 0 : right_;
      const std::int64_t a = sample(i, channel);
      const std::int64_t b = sample(j, channel);
      mix[2 * done + std::size_t(c)] += std::int32_t(a + (((b - a) * frac) >> 16));
    }
    position_ += step_;
  }
  return done;
}

}  // namespace duduri
