#pragma once
// Big puzzles: the grid for a piece-count range that starts above the
// "> 200 pieces" preset (300 to 5000 pieces and more), and the table such a
// puzzle is played on.
//
// The preset search works on a working size of at most 1024 x 768 and keeps
// the last grid entry in range, which tops out near 220 pieces. A big range
// is searched here instead: every grid entry of the set is tried with the
// columns and rows whose count lies in the range, and the choice weighs how
// closely the cut keeps the picture's shape, how near the count comes to the
// one asked for and how near the piece size comes to a comfortable one on
// the screen (smaller for more pieces, and never larger than the picture's
// own pixels allow without enlarging it). The picture is then scaled to
// Columns x width by Rows x height of the entry, as the preset search does.
//
// A saved big game is not searched again: its records name the templates of
// its grid entry, and with its columns and rows they give the grid exactly
// (SelectCountGrid), whatever the window or the picture decoder did.

#include <cstdint>
#include <vector>

#include "pieces/PieceTemplates.h"

namespace duduri {

// A piece-count range asked for; a big one starts above 200 and is not the
// "> 200 pieces" preset (201 .. 65535) itself.
struct TPieceCount {
  std::int32_t Low = 0;
  std::int32_t High = 0;
  friend bool operator==(const TPieceCount&, const TPieceCount&) = default;
};
bool IsBigPieceCount(TPieceCount count);
// The range a request for about n pieces stands for: 90 % to 110 % of n.
TPieceCount PieceCountAround(std::int32_t n);

// The most pieces a big puzzle is cut into; a range above it is cut at it.
inline constexpr std::int32_t kMaxBigPuzzlePieces = 20000;

struct TCountGrid {
  std::int32_t Entry = -1;  // grid entry, -1 = none fits
  std::int32_t Columns = 0;
  std::int32_t Rows = 0;
  // The scaled picture: Columns x the entry's width by Rows x its height.
  std::int32_t ScaledWidth = 0;
  std::int32_t ScaledHeight = 0;
};

// The count the search aims at within a range: the middle of the range, or
// a quarter above its low end for an open-ended one.
std::int32_t TargetPieceCount(TPieceCount count);

// The piece side (pixels) the search prefers for `pieces` pieces of a
// pictureWidth x pictureHeight picture.
double PreferredPieceSide(std::int32_t pieces, std::int32_t pictureWidth,
                          std::int32_t pictureHeight);

// The grid for a big range; Entry -1 when the set has no usable entry or the
// picture is empty. Deterministic: the same inputs give the same grid.
TCountGrid ChooseCountGrid(const std::vector<TGridEntry>& grid, std::int32_t pictureWidth,
                           std::int32_t pictureHeight, TPieceCount count);

// The grid a saved game was cut on, from the grid entry its records name and
// its columns and rows; Entry -1 when they do not give a picture within the
// limits.
TCountGrid SavedCountGrid(const std::vector<TGridEntry>& grid, std::int32_t entry,
                          std::int32_t columns, std::int32_t rows);

// The table of a big puzzle whose scaled picture is width x height, seen in
// a view of viewWidth x viewHeight: room to spread the pieces out beside the
// picture (about three times its area), shaped like the view, never smaller
// than the view or than the picture with a margin.
struct TTableSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};
TTableSize TableSizeFor(std::int32_t scaledWidth, std::int32_t scaledHeight,
                        std::int32_t viewWidth, std::int32_t viewHeight);

// The JPEG decoder's scale (eighths: 1, 2, 4 or 8) that gives the smallest
// picture from which a targetWidth x targetHeight cut still looks as good:
// at least nearly that size. A big puzzle cut smaller than its photo needs
// only that much of it decoded.
int DecodeEighthsFor(std::int32_t pictureWidth, std::int32_t pictureHeight,
                     std::int32_t targetWidth, std::int32_t targetHeight);

}  // namespace duduri
