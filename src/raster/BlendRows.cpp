// The row combinations behind Draw: dmOpaque copies, dmBlend blends with or
// without a master alpha, dmCustom calls the source's callback. The blend
// loops are vector forms of BlendReg and BlendRegEx with the same rounding,
// exact to the last bit: every channel is widened to 16 bits, where a
// channel times a weight plus the rounding bias (at most 255 * 255 + 128)
// still fits, and each of the two products is rounded on its own.
//
// Piece sprites are mostly runs of fully opaque and fully transparent
// pixels, so groups of pixels that are all one or the other skip the
// arithmetic. AVX2 is used when the processor has it (picked once, per
// process), SSE2 otherwise; integer vector code leaves the floating-point
// state as it was.

#include <cstring>

#include "raster/PixelCombine.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define DUDURI_RASTER_X86 1
#include <immintrin.h>
#endif

namespace duduri::raster_detail {

namespace {

using TBlendRowFn = void (*)(const TColor32*, TColor32*, std::size_t);
using TBlendRowMasterFn = void (*)(const TColor32*, TColor32*, std::size_t, std::uint32_t);

void BlendRowScalar(const TColor32* src, TColor32* dst, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) dst[i] = BlendRegInline(src[i], dst[i]);
}

void BlendRowMasterScalar(const TColor32* src, TColor32* dst, std::size_t n,
                          std::uint32_t masterAlpha) {
  for (std::size_t i = 0; i < n; ++i) dst[i] = BlendRegExInline(src[i], dst[i], masterAlpha);
}

#if defined(DUDURI_RASTER_X86) && defined(__SSE2__)

inline __m128i Load4(const TColor32* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(TColor32* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// 16-bit lanes, one per channel, two pixels per register; `weights` holds
// each pixel's weight in all four of its lanes.
inline __m128i BlendLanes(__m128i f16, __m128i b16, __m128i weights) {
  const __m128i bias = _mm_set1_epi16(128);
  const __m128i full = _mm_set1_epi16(255);
  const __m128i fPart = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(f16, weights), bias), 8);
  const __m128i bPart =
      _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(b16, _mm_sub_epi16(full, weights)), bias), 8);
  return _mm_add_epi16(fPart, bPart);
}

inline __m128i BroadcastAlpha(__m128i px16) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(px16, 0xFF), 0xFF);
}

inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

void BlendRowSse2(const TColor32* src, TColor32* dst, std::size_t n) {
  const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
  const __m128i zero = _mm_setzero_si128();
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i f = Load4(src + i);
    const __m128i fa = _mm_and_si128(f, alphaMask);
    const __m128i opaque = _mm_cmpeq_epi32(fa, alphaMask);
    if (_mm_movemask_epi8(opaque) == 0xFFFF) {
      Store4(dst + i, f);
      continue;
    }
    const __m128i clear = _mm_cmpeq_epi32(fa, zero);
    if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
    const __m128i b = Load4(dst + i);
    const __m128i fLo = _mm_unpacklo_epi8(f, zero);
    const __m128i fHi = _mm_unpackhi_epi8(f, zero);
    const __m128i lo = BlendLanes(fLo, _mm_unpacklo_epi8(b, zero), BroadcastAlpha(fLo));
    const __m128i hi = BlendLanes(fHi, _mm_unpackhi_epi8(b, zero), BroadcastAlpha(fHi));
    // Alpha 255 and 0 are exact copies, which the formula alone would miss.
    Store4(dst + i, Select(opaque, f, Select(clear, b, _mm_packus_epi16(lo, hi))));
  }
  BlendRowScalar(src + i, dst + i, n - i);
}

// With a master alpha below 255 the weight never reaches 255, so only a
// weight of 0 needs its own case.
void BlendRowMasterSse2(const TColor32* src, TColor32* dst, std::size_t n,
                        std::uint32_t masterAlpha) {
  const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
  const __m128i zero = _mm_setzero_si128();
  const __m128i master = _mm_set1_epi16(std::int16_t(masterAlpha + 1));
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i f = Load4(src + i);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(f, alphaMask), zero)) == 0xFFFF) continue;
    const __m128i b = Load4(dst + i);
    const __m128i fLo = _mm_unpacklo_epi8(f, zero);
    const __m128i fHi = _mm_unpackhi_epi8(f, zero);
    const __m128i bLo = _mm_unpacklo_epi8(b, zero);
    const __m128i bHi = _mm_unpackhi_epi8(b, zero);
    const __m128i wLo = _mm_srli_epi16(_mm_mullo_epi16(BroadcastAlpha(fLo), master), 8);
    const __m128i wHi = _mm_srli_epi16(_mm_mullo_epi16(BroadcastAlpha(fHi), master), 8);
    const __m128i lo = Select(_mm_cmpeq_epi16(wLo, zero), bLo, BlendLanes(fLo, bLo, wLo));
    const __m128i hi = Select(_mm_cmpeq_epi16(wHi, zero), bHi, BlendLanes(fHi, bHi, wHi));
    Store4(dst + i, _mm_packus_epi16(lo, hi));
  }
  BlendRowMasterScalar(src + i, dst + i, n - i, masterAlpha);
}

#define DUDURI_AVX2 __attribute__((target("avx2")))

DUDURI_AVX2 inline __m256i Load8(const TColor32* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
DUDURI_AVX2 inline void Store8(TColor32* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

DUDURI_AVX2 inline __m256i BlendLanes8(__m256i f16, __m256i b16, __m256i weights) {
  const __m256i bias = _mm256_set1_epi16(128);
  const __m256i full = _mm256_set1_epi16(255);
  const __m256i fPart =
      _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(f16, weights), bias), 8);
  const __m256i bPart = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(b16, _mm256_sub_epi16(full, weights)), bias), 8);
  return _mm256_add_epi16(fPart, bPart);
}

DUDURI_AVX2 inline __m256i BroadcastAlpha8(__m256i px16) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(px16, 0xFF), 0xFF);
}

// Eight pixels. The unpacks and the pack work within 128-bit halves, so
// together they keep the pixel order.
DUDURI_AVX2 inline void Blend8(__m256i f, TColor32* dst) {
  const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
  const __m256i zero = _mm256_setzero_si256();
  // One test each: every alpha bit set, or none.
  if (_mm256_testc_si256(f, alphaMask)) {
    Store8(dst, f);
    return;
  }
  if (_mm256_testz_si256(f, alphaMask)) return;
  const __m256i fa = _mm256_and_si256(f, alphaMask);
  const __m256i opaque = _mm256_cmpeq_epi32(fa, alphaMask);
  const __m256i clear = _mm256_cmpeq_epi32(fa, zero);
  const __m256i b = Load8(dst);
  // Each pixel's alpha byte spread over its four 16-bit lanes, straight from f.
  const __m256i alphaLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1,
                                           3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
  const __m256i alphaHi =
      _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1, 11,
                       -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
  const __m256i lo = BlendLanes8(_mm256_unpacklo_epi8(f, zero), _mm256_unpacklo_epi8(b, zero),
                                 _mm256_shuffle_epi8(f, alphaLo));
  const __m256i hi = BlendLanes8(_mm256_unpackhi_epi8(f, zero), _mm256_unpackhi_epi8(b, zero),
                                 _mm256_shuffle_epi8(f, alphaHi));
  const __m256i mixed = _mm256_packus_epi16(lo, hi);
  Store8(dst, _mm256_blendv_epi8(_mm256_blendv_epi8(mixed, b, clear), f, opaque));
}

DUDURI_AVX2 void BlendRowAvx2(const TColor32* src, TColor32* dst, std::size_t n) {
  const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
  std::size_t i = 0;
  // Sixteen pixels at a time first: long opaque and transparent runs then
  // cost one test per sixteen pixels, which is what bounds these loops.
  for (; i + 16 <= n; i += 16) {
    const __m256i f0 = Load8(src + i);
    const __m256i f1 = Load8(src + i + 8);
    if (_mm256_testc_si256(_mm256_and_si256(f0, f1), alphaMask)) {
      Store8(dst + i, f0);
      Store8(dst + i + 8, f1);
    } else if (!_mm256_testz_si256(_mm256_or_si256(f0, f1), alphaMask)) {
      Blend8(f0, dst + i);
      Blend8(f1, dst + i + 8);
    }
  }
  for (; i + 8 <= n; i += 8) Blend8(Load8(src + i), dst + i);
  BlendRowSse2(src + i, dst + i, n - i);
}

DUDURI_AVX2 void BlendRowMasterAvx2(const TColor32* src, TColor32* dst, std::size_t n,
                                    std::uint32_t masterAlpha) {
  const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
  const __m256i zero = _mm256_setzero_si256();
  const __m256i master = _mm256_set1_epi16(std::int16_t(masterAlpha + 1));
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i f = Load8(src + i);
    if (_mm256_testz_si256(f, alphaMask)) continue;
    const __m256i b = Load8(dst + i);
    const __m256i fLo = _mm256_unpacklo_epi8(f, zero);
    const __m256i fHi = _mm256_unpackhi_epi8(f, zero);
    const __m256i bLo = _mm256_unpacklo_epi8(b, zero);
    const __m256i bHi = _mm256_unpackhi_epi8(b, zero);
    const __m256i wLo = _mm256_srli_epi16(_mm256_mullo_epi16(BroadcastAlpha8(fLo), master), 8);
    const __m256i wHi = _mm256_srli_epi16(_mm256_mullo_epi16(BroadcastAlpha8(fHi), master), 8);
    const __m256i lo =
        _mm256_blendv_epi8(BlendLanes8(fLo, bLo, wLo), bLo, _mm256_cmpeq_epi16(wLo, zero));
    const __m256i hi =
        _mm256_blendv_epi8(BlendLanes8(fHi, bHi, wHi), bHi, _mm256_cmpeq_epi16(wHi, zero));
    Store8(dst + i, _mm256_packus_epi16(lo, hi));
  }
  BlendRowMasterSse2(src + i, dst + i, n - i, masterAlpha);
}

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

TBlendRowFn PickBlendRow() {
  return HasAvx2() ? BlendRowAvx2 : BlendRowSse2;
}
TBlendRowMasterFn PickBlendRowMaster() {
  return HasAvx2() ? BlendRowMasterAvx2 : BlendRowMasterSse2;
}

#else

TBlendRowFn PickBlendRow() {
  return BlendRowScalar;
}
TBlendRowMasterFn PickBlendRowMaster() {
  return BlendRowMasterScalar;
}

#endif

const TBlendRowFn blendRow = PickBlendRow();
const TBlendRowMasterFn blendRowMaster = PickBlendRowMaster();

}  // namespace

void BlendRow(const TColor32* src, TColor32* dst, std::size_t n) {
  blendRow(src, dst, n);
}

void BlendRowMaster(const TColor32* src, TColor32* dst, std::size_t n, std::uint32_t masterAlpha) {
  blendRowMaster(src, dst, n, masterAlpha);
}

void CombineRow(const TRowCombiner& combiner, const TColor32* src, TColor32* dst, std::size_t n) {
  switch (combiner.mode) {
    case dmOpaque:
      std::memcpy(dst, src, n * sizeof(TColor32));
      break;
    case dmBlend:
      if (combiner.masterAlpha >= 255) {
        BlendRow(src, dst, n);
      } else if (combiner.masterAlpha > 0) {
        BlendRowMaster(src, dst, n, combiner.masterAlpha);
      }
      break;
    case dmCustom:
      if (combiner.custom && *combiner.custom) {
        for (std::size_t i = 0; i < n; ++i)
          (*combiner.custom)(src[i], dst[i], combiner.masterAlpha);
      }
      break;
  }
}

}  // namespace duduri::raster_detail
