#pragma once
// Drawing pieces at any zoom. At 1:1 the board draws sprites straight from
// their encoded runs (SpriteBlit.h); at any other zoom a piece is drawn from
// a block of pixels sampled through the view, one source pixel per view
// pixel:
//  - zoomed out by half or more, from a reduced copy of its sprite (1/2,
//    1/4, ... each pixel the average of the block it stands for), made the
//    first time it is wanted at that size and kept only while the view stays
//    at that size (TZoomedSprites);
//  - otherwise from its sprite decoded into a scratch block.
// Shadows are soft already and are sampled from their own blocks.
//
// Every view pixel takes the source pixel under its centre, so pieces that
// are joined on the table meet in the view as they do at 1:1.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "board/BoardView.h"
#include "board/SpriteBlit.h"
#include "pieces/PieceSprite.h"

namespace duduri {

// The reduced copy a zoom draws from: 0 = the sprite itself, n = 1/2^n.
inline constexpr int kMaxReduceLevel = 5;
int ReduceLevelFor(double zoom);

// Draws the width x height sprite (or shadow) at table position (x, y) onto
// the view-sized target: `pixels` is the sprite reduced by 2^level (ceil
// (width / 2^level) wide, ceil(height / 2^level) tall), blended by each
// pixel's alpha and the master alpha as DrawRleSprite blends.
// Only target rows firstRow .. lastRow - 1 are drawn: many pieces drawn band
// by band touch memory that stays in the cache, with the same result.
void DrawMappedBlock(const TPixelTarget& target, const TBoardView& view, std::int32_t x,
                     std::int32_t y, std::int32_t width, std::int32_t height,
                     const TColor32* pixels, int level, std::uint32_t masterAlpha,
                     std::int32_t firstRow = 0, std::int32_t lastRow = 1 << 30);

// `source` (width x height) reduced by 2^level: every pixel the average of
// the 2^level x 2^level block it stands for, weighted by alpha so that the
// transparent surroundings of a piece do not darken its edge.
std::vector<TColor32> ReducePixels(const TColor32* source, std::int32_t width,
                                   std::int32_t height, int level);

// Reduced copies of the pieces' sprites for the zoom in use. Copies of one
// level only are kept: a change of level frees the others.
class TZoomedSprites {
 public:
  // Forgets every copy and holds `pieces` slots.
  void Reset(std::size_t pieces);
  // The reduced copy of piece `index` in its current rotation at `level`
  // (1..kMaxReduceLevel), made from its encoded sprite when missing; nullptr
  // when the sprite cannot be decoded.
  const TColor32* Get(std::size_t index, const TPieceSprite& piece, int level);
  int Level() const { return level_; }
  std::size_t Copies() const { return copies_; }
  std::size_t Bytes() const { return bytes_; }

 private:
  struct TSlot {
    std::vector<TColor32> Rotation[4];
  };
  std::vector<TSlot> slots_;
  int level_ = 0;
  std::size_t copies_ = 0;
  std::size_t bytes_ = 0;
  std::vector<TColor32> decoded_;
};

}  // namespace duduri
