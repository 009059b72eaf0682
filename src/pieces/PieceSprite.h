#pragma once
// The piece record shared by the sprite creator, the board and the saved-game
// formats. TSavedPiece is the 40-byte stored form whose offsets and widths are
// fixed by the files that hold it; TPieceSprite adds what lives in memory only:
// the encoded sprite and shadow per rotation and the knob extents.
//
// Encoded sprites and shadows are immutable blocks held by shared pointers, so
// copying a piece table (the board takes its own copy from the creator) costs
// a reference count per block and never aliases a mutable buffer: whoever
// makes a new shadow for a rotation replaces the pointer in its own copy.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "raster/Color32.h"

namespace duduri {

#pragma pack(push, 1)
struct TSavedPiece {
  std::uint8_t LeftShape = 0;    // template index of the left edge + 1; 0 = straight border
  std::uint8_t TopShape = 0;
  std::uint8_t RightShape = 0;
  std::uint8_t BottomShape = 0;
  std::int32_t X = 0;            // current top-left on the board
  std::int32_t Y = 0;
  std::int32_t HomeX = 0;        // right place, scaled-picture coordinates
  std::int32_t HomeY = 0;
  std::int32_t StartX = 0;       // position given at creation
  std::int32_t StartY = 0;
  std::int32_t Width = 0;        // unrotated bitmap size, knob margins included
  std::int32_t Height = 0;
  std::uint8_t Rotation = 0;     // 0..3 quarter turns clockwise
  std::uint8_t StartRotation = 0;
  std::uint8_t Placed = 0;       // 1 = joined
  std::uint8_t Spare = 0;        // always 0, written as 0
};
#pragma pack(pop)

static_assert(sizeof(TSavedPiece) == 40);
static_assert(offsetof(TSavedPiece, X) == 4);
static_assert(offsetof(TSavedPiece, HomeX) == 12);
static_assert(offsetof(TSavedPiece, StartX) == 20);
static_assert(offsetof(TSavedPiece, Width) == 28);
static_assert(offsetof(TSavedPiece, Height) == 32);
static_assert(offsetof(TSavedPiece, Rotation) == 36);
static_assert(offsetof(TSavedPiece, Placed) == 38);
static_assert(offsetof(TSavedPiece, Spare) == 39);

using TRleBlock = std::shared_ptr<const std::vector<std::byte>>;
using TShadowBlock = std::shared_ptr<const std::vector<TColor32>>;

// In memory the record is a TSavedPiece followed by the per-rotation blocks.
// The stored form never includes anything past byte 39.
struct TPieceSprite : TSavedPiece {
  TRleBlock RleData[4];           // encoded sprite per rotation; empty for rotations not made
  std::int32_t RleSize[4] = {};   // encoded bytes per rotation
  std::uint8_t Selected = 0;      // board-only selection byte
  TShadowBlock ShadowData[4];     // ShadowPixels pixels per rotation; empty until made
  std::int32_t ShadowPixels = 0;  // Width * Height
  std::uint8_t TopKnob = 0;       // Height of the top template, 0 for a straight edge
  std::uint8_t RightKnob = 0;     // Width of the right template
  std::uint8_t BottomKnob = 0;    // Height of the bottom template
  std::uint8_t LeftKnob = 0;      // Width of the left template

  TSavedPiece& Saved() { return *this; }
  const TSavedPiece& Saved() const { return *this; }
};

// [row][column]
using TPieces = std::vector<std::vector<TPieceSprite>>;

// The extent a piece covers on the board in its current rotation.
inline int RotatedWidth(const TPieceSprite& p) { return (p.Rotation & 1) ? p.Height : p.Width; }
inline int RotatedHeight(const TPieceSprite& p) { return (p.Rotation & 1) ? p.Width : p.Height; }
// Rows x Columns saved pieces in row-major order (index = row * Columns + column).
using TJigsawArrayData = std::vector<TSavedPiece>;

}  // namespace duduri
