#pragma once
// The shape of a skinned window: the union of the skin picture's pixels that
// are not pure black (red, green and blue all 0; alpha does not count).
//
// The shape is built row by row from runs of non-black pixels, and a row
// whose runs are the same as the row above only makes the rectangles above
// taller. The result is what a window system wants for a shape region: rectangles
// sorted by top, then left, every rectangle of a band sharing its top and
// bottom, none overlapping and none touching another one of its band.
// A plain rounded skin thus costs a few dozen rectangles, not one per row.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "raster/Bitmap32.h"

namespace duduri {

// The rectangles (Right and Bottom exclusive) covering every non-black pixel
// of a width x height block of pixels whose rows start `stride` pixels apart.
// Throws EDuduriError when the block is smaller than its size says, so a
// short buffer is never read past its end.
std::vector<TRect> NonBlackShape(std::span<const TColor32> pixels, std::int32_t width,
                                 std::int32_t height, std::ptrdiff_t stride);

inline std::vector<TRect> NonBlackShape(const TBitmap32& picture) {
  return NonBlackShape(std::span<const TColor32>(picture.Bits(), picture.PixelCount()),
                       picture.Width(), picture.Height(), picture.Width());
}

// Whether a point lies in a shape made by NonBlackShape.
bool ShapeContains(const std::vector<TRect>& shape, std::int32_t x, std::int32_t y);

}  // namespace duduri
