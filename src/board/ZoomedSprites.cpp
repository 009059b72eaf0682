#include "board/ZoomedSprites.h"

#include <algorithm>
#include <cmath>

#include "pieces/RLE.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace duduri {

int ReduceLevelFor(double zoom) {
  if (!(zoom < 1.0)) return 0;
  const int level = int(std::floor(std::log2(1.0 / zoom) + 1e-9));
  return std::clamp(level, 0, kMaxReduceLevel);
}

namespace {

// Table coordinates in 32.32 fixed point: a span of view pixels steps
// through the source by a constant amount, so the source column of each is
// an addition and a shift.
constexpr double kFixedOne = 4294967296.0;

template <bool kMaster>
inline void blendOne(TColor32& d, TColor32 f, std::uint32_t masterAlpha) {
  const std::uint32_t fa = f >> 24;
  if constexpr (kMaster) {
    const std::uint32_t w = ((masterAlpha + 1) * fa) >> 8;
    if (w != 0) d = BlendWeight(f, d, w);
  } else {
    if (fa == 255) {
      d = f;
    } else if (fa != 0) {
      d = BlendWeight(f, d, fa);
    }
  }
}

#if defined(__SSE2__)
// BlendWeight of four pixels at once: every channel of the two pixels in
// each half is (F * w + 128) >> 8 + (B * (255 - w) + 128) >> 8 in 16-bit
// lanes, as BlendWeight computes it; lanes whose weight is 0 keep the
// target, and (without a master alpha) opaque ones take the source.
template <bool kMaster>
inline void blendFour(TColor32* dst, const TColor32 (&f)[4], std::uint32_t masterAlpha) {
  const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f));
  const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
  __m128i w = _mm_srli_epi32(src, 24);
  if constexpr (kMaster) {
    w = _mm_srli_epi32(_mm_mullo_epi16(w, _mm_set1_epi32(int(masterAlpha + 1))), 8);
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i keep = _mm_cmpeq_epi32(w, zero);
  // Each pixel's weight in its four 16-bit lanes.
  const __m128i w16 = _mm_or_si128(w, _mm_slli_epi32(w, 16));
  const __m128i wlo = _mm_shuffle_epi32(w16, _MM_SHUFFLE(1, 1, 0, 0));
  const __m128i whi = _mm_shuffle_epi32(w16, _MM_SHUFFLE(3, 3, 2, 2));
  const __m128i full = _mm_set1_epi16(255);
  const __m128i bias = _mm_set1_epi16(128);
  auto half = [&](__m128i fs, __m128i bs, __m128i ws) {
    const __m128i a = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(fs, ws), bias), 8);
    const __m128i b =
        _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(bs, _mm_sub_epi16(full, ws)), bias), 8);
    return _mm_add_epi16(a, b);
  };
  const __m128i lo = half(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(old, zero), wlo);
  const __m128i hi = half(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(old, zero), whi);
  __m128i out = _mm_packus_epi16(lo, hi);
  out = _mm_or_si128(_mm_and_si128(keep, old), _mm_andnot_si128(keep, out));
  if constexpr (!kMaster) {
    const __m128i opaque = _mm_cmpeq_epi32(w, _mm_set1_epi32(255));
    out = _mm_or_si128(_mm_and_si128(opaque, src), _mm_andnot_si128(opaque, out));
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), out);
}
#endif

template <bool kMaster>
void blendMappedRow(TColor32* dst, const TColor32* src, std::int64_t u, std::int64_t du,
                    std::int32_t n, int shift, std::int32_t lastColumn,
                    std::uint32_t masterAlpha) {
  std::int32_t i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= n; i += 4) {
    TColor32 f[4];
    for (int k = 0; k < 4; ++k, u += du) f[k] = src[std::min(std::int32_t(u >> shift), lastColumn)];
    // Four transparent pixels (the corners around a piece) change nothing.
    if ((f[0] | f[1] | f[2] | f[3]) == 0) continue;
    blendFour<kMaster>(dst + i, f, masterAlpha);
  }
#endif
  for (; i < n; ++i, u += du) {
    blendOne<kMaster>(dst[i], src[std::min(std::int32_t(u >> shift), lastColumn)], masterAlpha);
  }
}

}  // namespace

void DrawMappedBlock(const TPixelTarget& target, const TBoardView& view, std::int32_t x,
                     std::int32_t y, std::int32_t width, std::int32_t height,
                     const TColor32* pixels, int level, std::uint32_t masterAlpha,
                     std::int32_t firstRow, std::int32_t lastRow) {
  if (pixels == nullptr || target.Bits == nullptr || width <= 0 || height <= 0) return;
  if (masterAlpha == 0) return;
  const std::int32_t sourceWidth = (width + (1 << level) - 1) >> level;
  const std::int32_t sourceHeight = (height + (1 << level) - 1) >> level;
  const std::int32_t vx0 = std::max(0, view.ViewXOf(x));
  const std::int32_t vx1 = std::min(target.Width, view.ViewXOf(double(x) + width));
  const std::int32_t vy0 = std::max({0, firstRow, view.ViewYOf(y)});
  const std::int32_t vy1 =
      std::min({target.Height, lastRow, view.ViewYOf(double(y) + height)});
  if (vx0 >= vx1 || vy0 >= vy1) return;

  // Sprite-local coordinates of the first view pixel's centre, and the step
  // per view pixel, in fixed point; never below 0 (the first pixel's centre
  // lies inside the sprite).
  const double step = view.Inverse();
  const auto du = std::int64_t(step * kFixedOne);
  const auto u0 = std::max<std::int64_t>(0, std::int64_t((view.TableXAt(vx0) - x) * kFixedOne));
  const auto v0 = std::max<std::int64_t>(0, std::int64_t((view.TableYAt(vy0) - y) * kFixedOne));
  const int shift = 32 + level;
  const std::int32_t n = vx1 - vx0;
  std::int64_t v = v0;
  for (std::int32_t vy = vy0; vy < vy1; ++vy, v += du) {
    const std::int32_t r = std::min(std::int32_t(v >> shift), sourceHeight - 1);
    const TColor32* src = pixels + std::size_t(r) * std::size_t(sourceWidth);
    TColor32* dst = target.Bits + std::size_t(vy) * std::size_t(target.Width) + vx0;
    if (masterAlpha >= 255) {
      blendMappedRow<false>(dst, src, u0, du, n, shift, sourceWidth - 1, 255);
    } else {
      blendMappedRow<true>(dst, src, u0, du, n, shift, sourceWidth - 1, masterAlpha);
    }
  }
}

std::vector<TColor32> ReducePixels(const TColor32* source, std::int32_t width,
                                   std::int32_t height, int level) {
  const std::int32_t block = 1 << level;
  const std::int32_t w = (width + block - 1) >> level;
  const std::int32_t h = (height + block - 1) >> level;
  std::vector<TColor32> out(std::size_t(w) * std::size_t(h), 0);
  if (source == nullptr || width <= 0 || height <= 0) return out;
  // Sums per output column over the source rows of one output row:
  // alpha, and each colour weighted by alpha.
  const auto n = static_cast<std::size_t>(w);
  std::vector<std::uint64_t> sa(n), sr(n), sg(n), sb(n);
  for (std::int32_t oy = 0; oy < h; ++oy) {
    std::fill(sa.begin(), sa.end(), 0);
    std::fill(sr.begin(), sr.end(), 0);
    std::fill(sg.begin(), sg.end(), 0);
    std::fill(sb.begin(), sb.end(), 0);
    const std::int32_t y0 = oy << level;
    const std::int32_t y1 = std::min(height, y0 + block);
    for (std::int32_t y = y0; y < y1; ++y) {
      const TColor32* row = source + std::size_t(y) * std::size_t(width);
      for (std::int32_t x = 0; x < width; ++x) {
        const TColor32 c = row[x];
        const std::uint32_t a = c >> 24;
        if (a == 0) continue;
        const std::size_t o = std::size_t(x >> level);
        sa[o] += a;
        sr[o] += a * ((c >> 16) & 0xFF);
        sg[o] += a * ((c >> 8) & 0xFF);
        sb[o] += a * (c & 0xFF);
      }
    }
    TColor32* dst = out.data() + std::size_t(oy) * std::size_t(w);
    for (std::int32_t ox = 0; ox < w; ++ox) {
      const std::uint64_t a = sa[std::size_t(ox)];
      if (a == 0) continue;
      const std::int32_t cols = std::min(width, (ox + 1) << level) - (ox << level);
      const std::uint64_t count = std::uint64_t(cols) * std::uint64_t(y1 - y0);
      const std::uint32_t alpha = std::uint32_t((a + count / 2) / count);
      if (alpha == 0) continue;
      const auto channel = [&](std::uint64_t s) { return std::uint32_t((s + a / 2) / a); };
      dst[ox] = (alpha << 24) | (channel(sr[std::size_t(ox)]) << 16) |
                (channel(sg[std::size_t(ox)]) << 8) | channel(sb[std::size_t(ox)]);
    }
  }
  return out;
}

void TZoomedSprites::Reset(std::size_t pieces) {
  slots_.clear();
  slots_.resize(pieces);
  copies_ = 0;
  bytes_ = 0;
  level_ = 0;
}

const TColor32* TZoomedSprites::Get(std::size_t index, const TPieceSprite& piece, int level) {
  if (index >= slots_.size() || level < 1) return nullptr;
  if (level != level_) {
    // The copies of another zoom are not wanted while this one lasts.
    for (TSlot& s : slots_)
      for (auto& r : s.Rotation) std::vector<TColor32>().swap(r);
    copies_ = 0;
    bytes_ = 0;
    level_ = level;
  }
  const int r = piece.Rotation & 3;
  std::vector<TColor32>& copy = slots_[index].Rotation[r];
  if (!copy.empty()) return copy.data();
  if (!piece.RleData[r] || piece.Width <= 0 || piece.Height <= 0) return nullptr;
  const std::int32_t w = (r & 1) ? piece.Height : piece.Width;
  const std::int32_t h = (r & 1) ? piece.Width : piece.Height;
  const std::size_t pixels = std::size_t(w) * std::size_t(h);
  decoded_.assign(pixels, 0);
  try {
    DecodeBufferChecked(piece.RleData[r]->data(), std::size_t(piece.RleSize[r]), decoded_.data(),
                        pixels * sizeof(TColor32));
  } catch (const ERLEError&) {
    return nullptr;
  }
  copy = ReducePixels(decoded_.data(), w, h, level);
  ++copies_;
  bytes_ += copy.size() * sizeof(TColor32);
  return copy.data();
}

}  // namespace duduri
