// A game read from a file, settled on this board: it was laid out by
// another one, perhaps on a play area of another size, in a project that
// turned pieces where this one does not, or while solve-all had its pieces
// in flight.

#include <algorithm>
#include <cstdlib>

#include "board/SpriteDraw.h"

namespace duduri {

namespace {

// How much of a piece or group a settled game keeps on the board.
constexpr int kKeepOnBoard = 12;

// The shift that brings [low, high) back within reach on [0, size): 0 when
// it overlaps by `keep` pixels (or all of a shorter span) already; else the
// whole span at the nearest edge, or as much of it as fits.
int shiftOnto(int low, int high, int size) {
  const int keep = std::min(kKeepOnBoard, std::max(1, high - low));
  if (high >= keep && low <= size - keep) return 0;
  const bool beforeStart = high < keep;
  if (high - low <= size) return beforeStart ? -low : size - high;
  return beforeStart ? keep - high : size - keep - low;
}

}  // namespace

void TSpriteDraw::SettleRestoredGame() {
  if (!hasPieces()) return;
  // A piece marked joined that lies where no joined neighbour puts it is
  // free: otherwise it counts as placed and belongs to no group.
  if (piecesX_ * piecesY_ > 1) {
    std::vector<std::uint8_t> keep(std::size_t(piecesX_) * piecesY_, 0);
    for (int row = 0; row < piecesY_; ++row) {
      for (int col = 0; col < piecesX_; ++col) {
        if (pieces_[row][col].Placed != 1) continue;
        const TBoardPoint own = Offset(row, col);
        static constexpr int kDr[4] = {-1, 0, 0, 1};
        static constexpr int kDc[4] = {0, -1, 1, 0};
        for (int k = 0; k < 4 && !keep[indexOf(row, col)]; ++k) {
          const int r = row + kDr[k];
          const int c = col + kDc[k];
          if (!inGrid(r, c) || pieces_[r][c].Placed != 1) continue;
          const TBoardPoint other = Offset(r, c);
          keep[indexOf(row, col)] = std::abs(own.X - other.X) <= 1 && std::abs(own.Y - other.Y) <= 1;
        }
      }
    }
    for (int row = 0; row < piecesY_; ++row) {
      for (int col = 0; col < piecesX_; ++col) {
        if (!keep[indexOf(row, col)]) pieces_[row][col].Placed = 0;
      }
    }
  }
  // A piece, or a whole group, that lies off the board comes back to its
  // nearest edge, where the player can take it again.
  std::vector<std::uint8_t> done(std::size_t(piecesX_) * piecesY_, 0);
  TSelectedPieces list;
  for (int row = 0; row < piecesY_; ++row) {
    for (int col = 0; col < piecesX_; ++col) {
      if (done[indexOf(row, col)]) continue;
      if (pieces_[row][col].Placed == 1) {
        buildGroupList(row, col, 0, 0, false, list);
      } else {
        list.assign(1, SelectedPieceEntry{row, col, 0, 0, 0});
      }
      for (const SelectedPieceEntry& e : list) done[indexOf(e.Row, e.Col)] = 1;
      bringIntoReach(list);
    }
  }
  piecesLeft_ = CountPiecesLeft();
}

void TSpriteDraw::bringIntoReach(const TSelectedPieces& list) {
  TRect united{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const SelectedPieceEntry& e : list) {
    const TPieceSprite& p = pieces_[e.Row][e.Col];
    const int w = RotatedWidth(p);
    const int h = RotatedHeight(p);
    united = TRect{std::min(united.Left, p.X), std::min(united.Top, p.Y),
                   std::max(united.Right, p.X + w), std::max(united.Bottom, p.Y + h)};
  }
  const int dx = shiftOnto(united.Left, united.Right, boardWidth_);
  const int dy = shiftOnto(united.Top, united.Bottom, boardHeight_);
  if (dx == 0 && dy == 0) return;
  for (const SelectedPieceEntry& e : list) {
    pieces_[e.Row][e.Col].X += dx;
    pieces_[e.Row][e.Col].Y += dy;
  }
}

}  // namespace duduri
