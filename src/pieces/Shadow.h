#pragma once
// The soft shadow the board draws under a loose piece: a grey silhouette of
// the piece's sprite whose alpha is the sprite's alpha blurred by a 5 x 5 box
// average. The average divides through a table instead of per pixel.

#include <array>
#include <cstdint>

#include "raster/Color32.h"

namespace duduri {

// Entry i is i div 25. 6400 entries cover the largest sum of 25 alphas (6375).
using TDivisionTable = std::array<std::uint8_t, 6400>;

// The shadow colour both the sprite creator and the board pass for red, green
// and blue.
constexpr std::uint8_t kShadowGrey = 30;

void FillDivisionTable(TDivisionTable& table);

// Makes a width x height shadow of `source` into `target` (row-major 32-bit
// pixels, owned by the caller).
//
// `source` is scratch: its colour is replaced by (red, green, blue), its
// alpha kept. Every target pixel then gets that colour and, as alpha, the
// table's average of the 5 x 5 source alphas around it; pixels outside the
// image count as 0 and the divisor stays 25 at the borders, so an opaque area
// fades over its outer two pixels.
//
// `source` and `target` may be the same block. The blur then runs in place
// in row-major order: each averaged pixel replaces its source pixel at once,
// so the sums of later pixels see the averaged alphas of the rows above and
// of the pixels to the left, which makes the result smoother. Partly
// overlapping blocks are not supported.
//
// Nothing happens if either block is missing or width or height is 0 or less.
void MakeShadow(TColor32* source, TColor32* target, std::int32_t width, const TDivisionTable& table,
                std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t height);

}  // namespace duduri
