#pragma once
// A small stand-in for the sprite creator, for tests, benchmarks and the
// headless game: it cuts a picture into a grid of pieces with square tabs
// (each piece carries a tab into its right and bottom neighbours and a notch
// where its left and top neighbours' tabs enter), encodes the four rotations,
// makes the starting rotation's shadow and scatters the pieces over a board.
// The records follow the same rules as the real creator's: HomeX/HomeY are
// the cell corner less half the left/top knob extent, the knob bytes hold the
// full extent, and every pixel outside a piece's shape is 0.

#include <cstdint>

#include "board/SpriteDraw.h"
#include "pieces/PieceSprite.h"
#include "raster/Bitmap32.h"

namespace duduri {

struct TGridPiecesOptions {
  int Columns = 3;
  int Rows = 3;
  // Full extent of a knob across an edge (the template size); pieces reach
  // half of it into the neighbouring cells. Even values keep tabs symmetric.
  int Knob = 12;
  bool NoPieceRotation = false;
  bool NoPieceShadow = false;
  // Scatter over a board of this size; with Scatter false every piece lies at
  // its home position, joined (Placed = 1), upright.
  int BoardWidth = 640;
  int BoardHeight = 480;
  bool Scatter = true;
  bool RandomRotation = true;
  std::uint32_t Seed = 1;
  // A table larger than the board: pieces are scattered over it and the
  // board plays it through its view. 0 = the board itself.
  int TableWidth = 0;
  int TableHeight = 0;
  // As a big puzzle's creator: only the sprite of each piece's rotation and
  // no shadow; the board makes the rest when it wants them.
  bool DeferShadows = false;
};

struct TGridPieces {
  TPieces Pieces;
  int Columns = 0;
  int Rows = 0;
  int PictureWidth = 0;
  int PictureHeight = 0;
  TBitmap32 Solution;
  bool NoPieceRotation = false;
  bool NoPieceShadow = false;
  int TableWidth = 0;
  int TableHeight = 0;
  bool ShadowsDeferred = false;

  // Valid while this object lives.
  TSpriteSource Source() const;
};

// Cells are picture.Width() div Columns by picture.Height() div Rows pixels.
TGridPieces MakeGridPieces(const TBitmap32& picture, const TGridPiecesOptions& options);

// A picture with a distinct colour per pixel neighbourhood, handy as a puzzle.
TBitmap32 MakeTestPicture(int width, int height);

}  // namespace duduri
