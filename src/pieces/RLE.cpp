#include "pieces/RLE.h"

#include <bit>
#include <cstring>
#include <limits>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define DUDURI_X86_DECODER 1
#else
#define DUDURI_X86_DECODER 0
#endif

namespace duduri {

// Counts and pixels are stored as the machine's own words; the format is
// little-endian, and encoded bytes never leave the process.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr std::size_t kWordBytes = 4;
constexpr std::size_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
// Marks a zero run in the encoder's list (a literal run never starts there:
// blocks are at most kMaxInt32 words).
constexpr std::uint32_t kZeroRun = 0xFFFFFFFFu;

std::uint32_t loadWord(const std::byte* p) {
  std::uint32_t word;
  std::memcpy(&word, p, kWordBytes);
  return word;
}

// The end of the run of words starting at `first` whose words are all zero
// (zero = true) or all non-zero: eight words at a time where it can.
std::size_t runEndPortable(const std::byte* raw, std::size_t first, std::size_t words, bool zero) {
  std::size_t next = first + 1;
  if (zero) {
    // Two zero words make a zero 64-bit value.
    while (next + 2 <= words) {
      std::uint64_t pair;
      std::memcpy(&pair, raw + next * kWordBytes, sizeof pair);
      if (pair != 0) break;
      next += 2;
    }
  }
  while (next < words && (loadWord(raw + next * kWordBytes) == 0) == zero) ++next;
  return next;
}

#if DUDURI_X86_DECODER
__attribute__((target("avx2"))) std::size_t runEndAvx2(const std::byte* raw, std::size_t first,
                                                        std::size_t words, bool zero) {
  std::size_t next = first + 1;
  const __m256i none = _mm256_setzero_si256();
  while (next + 8 <= words) {
    const __m256i v =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(raw + next * kWordBytes));
    // One bit per word that is zero.
    unsigned mask = unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(v, none))));
    if (!zero) mask = ~mask & 0xFFu;
    if (mask != 0xFFu) {
      // The first word of the other kind ends the run.
      return next + unsigned(std::countr_one(mask));
    }
    next += 8;
  }
  while (next < words && (loadWord(raw + next * kWordBytes) == 0) == zero) ++next;
  return next;
}

bool haveAvx2() {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
}
#endif

std::size_t runEnd(const std::byte* raw, std::size_t first, std::size_t words, bool zero) {
#if DUDURI_X86_DECODER
  if (haveAvx2()) return runEndAvx2(raw, first, words, zero);
#endif
  return runEndPortable(raw, first, words, zero);
}

// Calls visit(isZero, firstWord, wordCount) for each maximal run of zero or
// non-zero words, in order. Maximal runs are what keeps the kinds
// alternating.
template <class Visit>
void forEachRun(const std::byte* raw, std::size_t words, Visit&& visit) {
  std::size_t first = 0;
  while (first < words) {
    const bool zero = loadWord(raw + first * kWordBytes) == 0;
    const std::size_t next = runEnd(raw, first, words, zero);
    visit(zero, first, next - first);
    first = next;
  }
}

template <std::size_t N>
inline void copyBlock(std::byte* to, const std::byte* from) {
  __builtin_memcpy(to, from, N);
}

template <std::size_t N>
inline void zeroBlock(std::byte* to) {
  __builtin_memset(to, 0, N);
}

// Copies a run of `bytes` bytes, a multiple of 4, with fixed-size moves that
// the compiler turns into single register loads and stores.
inline void copyRun(std::byte* to, const std::byte* from, std::size_t bytes) {
  if (bytes >= 32) {
    for (std::size_t i = 0; i + 32 < bytes; i += 32) copyBlock<32>(to + i, from + i);
    copyBlock<32>(to + bytes - 32, from + bytes - 32);
  } else if (bytes >= 16) {
    copyBlock<16>(to, from);
    copyBlock<16>(to + bytes - 16, from + bytes - 16);
  } else if (bytes >= 8) {
    copyBlock<8>(to, from);
    copyBlock<8>(to + bytes - 8, from + bytes - 8);
  } else if (bytes != 0) {
    copyBlock<4>(to, from);
  }
}

inline void fillRun(std::byte* to, std::size_t bytes) {
  if (bytes >= 32) {
    for (std::size_t i = 0; i + 32 < bytes; i += 32) zeroBlock<32>(to + i);
    zeroBlock<32>(to + bytes - 32);
  } else if (bytes >= 16) {
    zeroBlock<16>(to);
    zeroBlock<16>(to + bytes - 16);
  } else if (bytes >= 8) {
    zeroBlock<8>(to);
    zeroBlock<8>(to + bytes - 8);
  } else if (bytes != 0) {
    zeroBlock<4>(to);
  }
}

[[noreturn]] void invalidRun() {
  throw ERLEError("Invalid RLE run");
}

}  // namespace

std::vector<std::byte> RleEncode(const void* raw, std::size_t bytes) {
  std::vector<std::byte> encoded;
  if (raw == nullptr || bytes == 0) return encoded;
  const auto* in = static_cast<const std::byte*>(raw);
  const std::size_t words = bytes / kWordBytes;
  const std::size_t tail = bytes % kWordBytes;
  if (words > kMaxInt32) throw ERLEError("The sprite block is too large to encode.");

  // The runs are found once; the output is then sized exactly (encoded
  // blocks are kept for the whole game) and written without a first fill.
  struct TRun {
    std::uint32_t First;
    std::uint32_t Count;
  };
  thread_local std::vector<TRun> runs;
  runs.clear();
  std::size_t size = tail;
  forEachRun(in, words, [&](bool zero, std::size_t first, std::size_t count) {
    runs.push_back(TRun{zero ? kZeroRun : std::uint32_t(first), std::uint32_t(count)});
    size += zero ? 2 * kWordBytes : kWordBytes + count * kWordBytes;
  });
  encoded.reserve(size);
  {
    // Appending writes every byte once; resize() would zero the block first.
    struct TAppend {
      std::vector<std::byte>& v;
      void word(std::uint32_t w) {
        const std::byte* b = reinterpret_cast<const std::byte*>(&w);
        v.insert(v.end(), b, b + kWordBytes);
      }
    } append{encoded};
    for (const TRun& r : runs) {
      append.word(r.Count);
      if (r.First == kZeroRun) {
        append.word(0);
      } else {
        const std::byte* from = in + std::size_t(r.First) * kWordBytes;
        encoded.insert(encoded.end(), from, from + std::size_t(r.Count) * kWordBytes);
      }
    }
    encoded.insert(encoded.end(), in + words * kWordBytes, in + words * kWordBytes + tail);
  }
  return encoded;
}

namespace {

// The board decodes a sprite on every draw of a piece, so a run costs one
// header test and then whole-register moves, the last block of a run placed
// to end exactly at the run's end (overlapping the one before it) instead of
// a byte loop.
std::int32_t decodePortable(const std::byte* in, std::byte* out, std::size_t encodedSize) {
  std::byte* const start = out;
  const std::size_t tail = encodedSize % kWordBytes;
  const std::byte* const end = in + (encodedSize - tail);
  while (in < end) {
    const std::size_t bytes = std::size_t{loadWord(in)} * kWordBytes;
    if (loadWord(in + kWordBytes) != 0) {
      copyRun(out, in + kWordBytes, bytes);
      in += kWordBytes + bytes;
    } else {
      fillRun(out, bytes);
      in += 2 * kWordBytes;
    }
    out += bytes;
  }
  std::memcpy(out, end, tail);
  return static_cast<std::int32_t>(out + tail - start);
}

#if DUDURI_X86_DECODER
// The same loop with 32-byte AVX2 moves. Compilers tuned for generic x86
// split 32-byte memcpy blocks into two 16-byte moves, so this one is written
// with intrinsics.
__attribute__((target("avx2"))) std::int32_t decodeAvx2(const std::byte* in, std::byte* out,
                                                        std::size_t encodedSize) {
  std::byte* const start = out;
  const std::size_t tail = encodedSize % kWordBytes;
  const std::byte* const end = in + (encodedSize - tail);
  const __m256i zero = _mm256_setzero_si256();
  while (in < end) {
    const std::size_t bytes = std::size_t{loadWord(in)} * kWordBytes;
    const bool literal = loadWord(in + kWordBytes) != 0;
    const std::byte* from = in + kWordBytes;
    if (bytes >= 32) {
      if (literal) {
        for (std::size_t i = 0; i + 32 < bytes; i += 32) {
          _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i)));
        }
        _mm256_storeu_si256(
            reinterpret_cast<__m256i*>(out + bytes - 32),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + bytes - 32)));
      } else {
        for (std::size_t i = 0; i + 32 < bytes; i += 32) {
          _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), zero);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + bytes - 32), zero);
      }
    } else if (literal) {
      copyRun(out, from, bytes);
    } else {
      fillRun(out, bytes);
    }
    in += literal ? kWordBytes + bytes : 2 * kWordBytes;
    out += bytes;
  }
  std::memcpy(out, end, tail);
  return static_cast<std::int32_t>(out + tail - start);
}
#endif

using DecodeFunction = std::int32_t (*)(const std::byte*, std::byte*, std::size_t);

DecodeFunction chooseDecoder() {
#if DUDURI_X86_DECODER
  if (__builtin_cpu_supports("avx2")) return decodeAvx2;
#endif
  return decodePortable;
}

}  // namespace

std::int32_t DecodeBuffer(const void* encoded, void* target, std::int32_t encodedSize) {
  if (encoded == nullptr || target == nullptr || encodedSize <= 0) return 0;
  static const DecodeFunction decode = chooseDecoder();
  return decode(static_cast<const std::byte*>(encoded), static_cast<std::byte*>(target),
                static_cast<std::size_t>(encodedSize));
}

std::size_t DecodeBufferChecked(const void* encoded, std::size_t encodedSize, void* target,
                                std::size_t targetCapacity) {
  if (encoded == nullptr || encodedSize == 0) return 0;
  if (target == nullptr) targetCapacity = 0;
  const auto* in = static_cast<const std::byte*>(encoded);
  auto* out = static_cast<std::byte*>(target);
  const std::size_t tail = encodedSize % kWordBytes;
  const std::size_t body = encodedSize - tail;
  std::size_t pos = 0;
  std::size_t written = 0;
  while (pos < body) {
    if (body - pos < 2 * kWordBytes) invalidRun();
    const auto count = static_cast<std::int32_t>(loadWord(in + pos));
    if (count < 1) invalidRun();
    const std::size_t bytes = static_cast<std::size_t>(count) * kWordBytes;
    if (bytes > targetCapacity - written) invalidRun();
    if (loadWord(in + pos + kWordBytes) != 0) {
      if (bytes > body - pos - kWordBytes) invalidRun();
      copyRun(out + written, in + pos + kWordBytes, bytes);
      pos += kWordBytes + bytes;
    } else {
      fillRun(out + written, bytes);
      pos += 2 * kWordBytes;
    }
    written += bytes;
  }
  if (tail > targetCapacity - written) invalidRun();
  if (tail > 0) std::memcpy(out + written, in + body, tail);
  return written + tail;
}

void TRLE::SetRaw(const void* data, std::int32_t size, std::int32_t /*extra*/) {
  if (data == nullptr || size <= 0) return;
  const auto* bytes = static_cast<const std::byte*>(data);
  // Copy before swapping: the caller may pass a block the codec itself holds.
  std::vector<std::byte> copy(bytes, bytes + size);
  rawStream_.swap(copy);
  const bool ownBlock = ownsRawBuffer_ && bytes == ownedRaw_.data();
  releaseOwnedRaw();
  // A block the codec decoded itself is gone after the release; name the copy.
  rawBuffer_ = ownBlock ? rawStream_.data() : bytes;
  rawBufferSize_ = size;
}

void TRLE::Encode() {
  std::vector<std::byte> encoded = RleEncode(rawStream_.data(), rawStream_.size());
  if (encoded.size() > kMaxInt32) throw ERLEError("The sprite block is too large to encode.");
  encodedStream_.swap(encoded);
  encodedData_ = encodedStream_.data();
  rawSize_ = static_cast<std::int32_t>(rawStream_.size());
  encodedSize_ = static_cast<std::int32_t>(encodedStream_.size());
}

void TRLE::SetEncoded(const void* data, std::int32_t rawSize, std::int32_t encodedSize) {
  if (data == nullptr || encodedSize <= 0 || rawSize < 0) return;
  const auto* bytes = static_cast<const std::byte*>(data);
  std::vector<std::byte> copy(bytes, bytes + encodedSize);
  rawStream_.swap(copy);
  // Decode from the codec's own copy, so the caller may free its block.
  encodedData_ = rawStream_.data();
  rawSize_ = rawSize;
  encodedSize_ = encodedSize;
  releaseOwnedRaw();
  ownedRaw_.assign(static_cast<std::size_t>(rawSize), std::byte{0});
  ownsRawBuffer_ = true;
  rawBuffer_ = ownedRaw_.data();
  rawBufferSize_ = rawSize;
}

void TRLE::Decode() {
  if (encodedData_ == nullptr) return;
  // After SetRaw the raw buffer is the caller's read-only block; decode into
  // a buffer of our own instead of writing through it.
  if (!ownsRawBuffer_) {
    ownedRaw_.assign(static_cast<std::size_t>(rawSize_), std::byte{0});
    ownsRawBuffer_ = true;
    rawBuffer_ = ownedRaw_.data();
    rawBufferSize_ = rawSize_;
  }
  const std::size_t written = DecodeBufferChecked(
      encodedData_, static_cast<std::size_t>(encodedSize_), ownedRaw_.data(), ownedRaw_.size());
  rawBufferSize_ = static_cast<std::int32_t>(written);
}

void TRLE::releaseOwnedRaw() {
  std::vector<std::byte>().swap(ownedRaw_);
  ownsRawBuffer_ = false;
  rawBuffer_ = nullptr;
  rawBufferSize_ = 0;
}

}  // namespace duduri
