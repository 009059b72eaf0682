#pragma once
// Inline forms of the pixel arithmetic, shared by the public functions in
// Color32.cpp and by the span loops of the drawing code, so that the loops can
// pick one combination per span and still have it inlined. Private to the
// raster library.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "raster/Bitmap32.h"
#include "raster/Color32.h"

namespace duduri::raster_detail {

// Spreads the four channels of a pixel over the four 16-bit lanes of a 64-bit
// word (blue, red, green, alpha from the low lane up), so that one multiply
// scales all of them and every lane keeps its own rounding: a channel times a
// weight is at most 255 * 255 + 128, which fits a lane.
inline std::uint64_t SpreadChannels(TColor32 c) {
  const std::uint64_t v = c;
  return (v | (v << 24)) & 0x00FF00FF00FF00FFull;
}

inline TColor32 GatherChannels(std::uint64_t lanes) {
  return TColor32(lanes | (lanes >> 24));
}

// (c * weight + 128) >> 8 for every channel at once.
inline std::uint64_t ScaleLanes(std::uint64_t lanes, std::uint32_t weight) {
  return ((lanes * weight + 0x0080008000800080ull) >> 8) & 0x00FF00FF00FF00FFull;
}

// The general blend step for a weight 1..254: each product rounded on its own.
// The two rounded halves never add up to more than 255, so lanes cannot carry.
inline TColor32 BlendWeighted(TColor32 f, TColor32 b, std::uint32_t weight) {
  return GatherChannels(ScaleLanes(SpreadChannels(f), weight) +
                        ScaleLanes(SpreadChannels(b), 255 - weight));
}

inline TColor32 BlendRegInline(TColor32 f, TColor32 b) {
  const std::uint32_t fa = f >> 24;
  if (fa == 255) return f;
  if (fa == 0) return b;
  return BlendWeighted(f, b, fa);
}

inline TColor32 BlendRegExInline(TColor32 f, TColor32 b, std::uint32_t masterAlpha) {
  const std::uint32_t w = ((masterAlpha + 1) * (f >> 24)) >> 8;
  if (w == 0) return b;
  if (w >= 255) return f;  // only reached with a master alpha of 255
  return BlendWeighted(f, b, w);
}

inline TColor32 MergeRegInline(TColor32 f, TColor32 b) {
  const std::int32_t fa = std::int32_t(f >> 24);
  if (fa == 255) return f;
  if (fa == 0) return b;
  const std::int32_t ba = std::int32_t(b >> 24);
  if (ba == 0) return f;
  // Never more than 255 and never less than max(fa, ba), so the division is safe.
  const std::int32_t ra = fa + ba - (fa * ba) / 255;
  const std::int32_t w = 65536 / ra;
  auto channel = [&](int shift) -> TColor32 {
    const std::int32_t fc = std::int32_t((f >> shift) & 0xFF);
    const std::int32_t p = (std::int32_t((b >> shift) & 0xFF) * ba) >> 8;
    // (fc - p) may be negative: the shift rounds towards minus infinity.
    return TColor32(((w * (p + (((fc - p) * fa) >> 8))) >> 8) & 0xFF) << shift;
  };
  return (TColor32(ra) << 24) | channel(16) | channel(8) | channel(0);
}

// How a source row is combined with a destination row when drawing.
struct TRowCombiner {
  TDrawMode mode = dmOpaque;
  std::uint32_t masterAlpha = 255;
  const std::function<void(TColor32, TColor32&, std::uint32_t)>* custom = nullptr;
};

// Combines n source pixels into n destination pixels; src and dst must not
// overlap (drawing a surface onto itself goes through a copy).
void CombineRow(const TRowCombiner& combiner, const TColor32* src, TColor32* dst, std::size_t n);

// Blend spans: dmBlend with master alpha 255, and with a lower master alpha.
void BlendRow(const TColor32* src, TColor32* dst, std::size_t n);
void BlendRowMaster(const TColor32* src, TColor32* dst, std::size_t n, std::uint32_t masterAlpha);

// Destination rectangle after clipping, in 64-bit so that rectangles near the
// int32 limits cannot overflow while they are being cut down.
struct TSpan64 {
  std::int64_t left, top, right, bottom;
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

inline TSpan64 Intersect(const TSpan64& a, const TRect& clip) {
  return TSpan64{a.left > clip.Left ? a.left : clip.Left, a.top > clip.Top ? a.top : clip.Top,
                 a.right < clip.Right ? a.right : clip.Right,
                 a.bottom < clip.Bottom ? a.bottom : clip.Bottom};
}

// Resampling into the clipped part of dstRect (see Resample.cpp). The source
// rectangle has been checked against the source; dstRect and srcRect differ
// in size.
void StretchTransfer(TBitmap32& dst, const TSpan64& dstRect, const TSpan64& clipped,
                     const TBitmap32& src, const TRect& srcRect, TStretchFilter filter,
                     const TRowCombiner& combiner);

}  // namespace duduri::raster_detail
