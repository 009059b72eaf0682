#pragma once
// The board's pixel loops: drawing a run-length encoded sprite and a shadow
// block straight onto a layer, copying a layer, and looking up one pixel of an
// encoded sprite for hit testing.
//
// Sprites are drawn from their encoded runs without decoding them into a
// scratch surface first: zero runs are skipped, literal runs are blended span
// by span, with the clipping worked out once per row segment. The result is
// the same as decoding the sprite and drawing it in dmBlend (the Blend
// arithmetic of the raster surface, each product rounded on its own).
//
// The encoded bytes come from the sprite creator of the same process, but the
// loops still bound every run by the bytes given and the sprite's pixel count,
// so a damaged block draws less instead of reading or writing out of bounds.

#include <cstddef>
#include <cstdint>

#include "raster/Color32.h"

namespace duduri {

class TBitmap32;

// A block of width x height 32-bit pixels, row-major, no gap between rows.
struct TPixelTarget {
  TColor32* Bits = nullptr;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

TPixelTarget PixelTarget(TBitmap32& bitmap);

// Blends one pixel over another with weight `weight` (1..254) in place of the
// foreground alpha: every channel, alpha included, becomes
// (F * w + 128) >> 8 + (B * (255 - w) + 128) >> 8.
inline TColor32 BlendWeight(TColor32 f, TColor32 b, std::uint32_t weight) {
  // Four channels spread over four 16-bit lanes (blue, red, green, alpha), so
  // one multiply scales them all; a product plus the rounding bias fits a
  // lane, and the two rounded halves of a channel never add up past 255.
  constexpr std::uint64_t kLanes = 0x00FF00FF00FF00FFull;
  constexpr std::uint64_t kBias = 0x0080008000800080ull;
  const std::uint64_t fl = (std::uint64_t(f) | (std::uint64_t(f) << 24)) & kLanes;
  const std::uint64_t bl = (std::uint64_t(b) | (std::uint64_t(b) << 24)) & kLanes;
  const std::uint64_t r =
      (((fl * weight + kBias) >> 8) & kLanes) + (((bl * (255 - weight) + kBias) >> 8) & kLanes);
  return TColor32(r | (r >> 24));
}

// dmBlend of one pixel with a master alpha: weight ((master + 1) * Fa) >> 8.
inline TColor32 BlendMaster(TColor32 f, TColor32 b, std::uint32_t masterAlpha) {
  const std::uint32_t w = ((masterAlpha + 1) * (f >> 24)) >> 8;
  if (w == 0) return b;
  if (w >= 255) return f;
  return BlendWeight(f, b, w);
}

// Draws the encoded width x height sprite with its top-left corner at (x, y),
// clipped to the target, blended by each pixel's alpha and the master alpha
// (255 = the pixel's own alpha only).
void DrawRleSprite(const TPixelTarget& target, std::int32_t x, std::int32_t y,
                   const std::byte* encoded, std::size_t encodedBytes, std::int32_t width,
                   std::int32_t height, std::uint32_t masterAlpha);

// Draws a width x height block of pixels at (x, y), clipped, blended by each
// pixel's alpha and the master alpha. Used for shadows.
void DrawPixelBlock(const TPixelTarget& target, std::int32_t x, std::int32_t y,
                    const TColor32* pixels, std::int32_t width, std::int32_t height,
                    std::uint32_t masterAlpha);

// Copies source onto target with both top-left corners at (0, 0), clipped to
// the smaller of the two; pixels of the target outside the source keep their
// value.
void CopyTopLeft(const TPixelTarget& target, const TColor32* source, std::int32_t sourceWidth,
                 std::int32_t sourceHeight);

// The pixel at `index` (row * width + column) of an encoded sprite, or 0 when
// the runs end before it.
TColor32 RlePixelAt(const std::byte* encoded, std::size_t encodedBytes, std::size_t index);

}  // namespace duduri
