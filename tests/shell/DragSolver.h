#pragma once
// Plays a board to the end the way a person would: pointer presses, moves
// and releases only. It turns every piece upright with right clicks, clears
// the middle of the board, drops piece (0, 0) there and then every other
// piece next to the piece above it (or left of it in the first row), at the
// offset where the board snaps it.
//
// The pointer is whatever the test drives: the game flow's handlers over a
// fake play area, or Qt mouse events sent to the real play-area widget. The
// board is looked up afresh before every gesture, because a gesture can end
// the game and free it.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>

#include "board/SpriteDraw.h"

namespace duduri::test {

class IPointer {
 public:
  virtual ~IPointer() = default;
  // Returns (column, row) of the piece hit, (-1, -1) for none.
  virtual TBoardPoint Press(int x, int y, TMouseButton button) = 0;
  virtual void Move(int x, int y) = 0;
  virtual void Release(int x, int y, TMouseButton button) = 0;
};

class TDragSolver {
 public:
  TDragSolver(std::function<TSpriteDraw*()> board, IPointer& pointer)
      : board_(std::move(board)), pointer_(pointer) {}

  // Returns the number of drops made. `slack` pixels off the exact fit
  // still snap when it is below the board's snap distance. Stops after
  // `maxDrops` drops (the anchor counts as one).
  int Solve(int slack = 2, int maxDrops = 1 << 30) {
    TSpriteDraw* b = board_();
    if (!b) return 0;
    const int columns = b->PiecesX();
    const int rows = b->PiecesY();
    const int left = (b->BoardWidth() - b->CellWidth() * columns) / 2;
    const int top = (b->BoardHeight() - b->CellHeight() * rows) / 2;
    const TRect area{left - 8, top - 8, left + b->CellWidth() * columns + 8,
                     top + b->CellHeight() * rows + 8};
    for (int row = 0; row < rows; ++row) {
      for (int col = 0; col < columns; ++col) {
        if (!(b = board_())) return 0;
        const TPieceSprite& p = b->Piece(row, col);
        const int side = std::max(p.Width, p.Height);
        const bool inside = p.X < area.Right && p.Y < area.Bottom && p.X + side > area.Left &&
                            p.Y + side > area.Top;
        if (inside && Uncover(row, col)) Park(row, col);
      }
    }
    for (int row = 0; row < rows; ++row) {
      for (int col = 0; col < columns; ++col) {
        if (Uncover(row, col)) RotateTo(row, col, 0);
      }
    }
    int drops = 0;
    if (!(b = board_())) return drops;
    const TPieceSprite& anchor = b->Piece(0, 0);
    if (Uncover(0, 0) && DragPieceTo(0, 0, anchor.HomeX + left, anchor.HomeY + top)) ++drops;
    for (int row = 0; row < rows; ++row) {
      for (int col = 0; col < columns; ++col) {
        if (row == 0 && col == 0) continue;
        if (drops >= maxDrops || !(b = board_())) return drops;
        const int nRow = row > 0 ? row - 1 : row;
        const int nCol = row > 0 ? col : col - 1;
        if (!Uncover(row, col)) continue;
        b = board_();
        const TBoardPoint home = b->RotatedHome(row, col);
        const TBoardPoint offset = b->Offset(nRow, nCol);
        if (DragPieceTo(row, col, home.X + offset.X + slack, home.Y + offset.Y + slack)) ++drops;
      }
    }
    return drops;
  }

  bool GrabPoint(int row, int col, TBoardPoint& at) {
    TSpriteDraw* b = board_();
    if (!b || row < 0 || col < 0 || row >= b->PiecesY() || col >= b->PiecesX()) return false;
    const TPieceSprite& p = b->Piece(row, col);
    const int w = (p.Rotation & 1) ? p.Height : p.Width;
    const int h = (p.Rotation & 1) ? p.Width : p.Height;
    const int cx = w / 2;
    const int cy = h / 2;
    auto grabs = [&](int x, int y) {
      if (x < 0 || y < 0 || x >= w || y >= h) return false;
      const int bx = p.X + x;
      const int by = p.Y + y;
      if (bx < kEdge || by < kEdge || bx > b->BoardWidth() - kEdge ||
          by > b->BoardHeight() - kEdge) {
        return false;
      }
      int hitCol = -1, hitRow = -1;
      return b->HitTest(bx, by, hitCol, hitRow) && hitCol == col && hitRow == row;
    };
    for (int d = 0; d <= std::max(w, h); ++d) {
      std::int64_t best = std::numeric_limits<std::int64_t>::max();
      for (int y = cy - d; y <= cy + d; ++y) {
        const int step = (y == cy - d || y == cy + d) ? 1 : 2 * d;
        for (int x = cx - d; x <= cx + d; x += std::max(1, step)) {
          const std::int64_t dist =
              std::int64_t(x - cx) * (x - cx) + std::int64_t(y - cy) * (y - cy);
          if (dist < best && grabs(x, y)) {
            best = dist;
            at = TBoardPoint{p.X + x, p.Y + y};
          }
        }
      }
      if (best != std::numeric_limits<std::int64_t>::max()) return true;
    }
    return false;
  }

  bool DragPieceTo(int row, int col, int x, int y, int steps = 3) {
    TBoardPoint grab;
    if (!GrabPoint(row, col, grab)) return false;
    TSpriteDraw* b = board_();
    const TPieceSprite& p = b->Piece(row, col);
    const int tx = x + (grab.X - p.X);
    const int ty = y + (grab.Y - p.Y);
    if (tx < kEdge || ty < kEdge || tx > b->BoardWidth() - kEdge || ty > b->BoardHeight() - kEdge) {
      return false;
    }
    const TBoardPoint hit = pointer_.Press(grab.X, grab.Y, mbLeft);
    if (hit.X != col || hit.Y != row) {
      pointer_.Release(grab.X, grab.Y, mbLeft);
      return false;
    }
    for (int i = 1; i <= steps; ++i) {
      pointer_.Move(grab.X + (tx - grab.X) * i / steps, grab.Y + (ty - grab.Y) * i / steps);
    }
    pointer_.Release(tx, ty, mbLeft);
    return true;
  }

  bool RotateTo(int row, int col, int rotation) {
    for (int i = 0; i < 4; ++i) {
      TSpriteDraw* b = board_();
      if (!b) return false;
      if (b->Piece(row, col).Rotation == (rotation & 3)) return true;
      TBoardPoint grab;
      if (!GrabPoint(row, col, grab)) return false;
      pointer_.Press(grab.X, grab.Y, mbRight);
      pointer_.Release(grab.X, grab.Y, mbRight);
    }
    TSpriteDraw* b = board_();
    return b && b->Piece(row, col).Rotation == (rotation & 3);
  }

 private:
  static constexpr int kEdge = 5;

  bool Park(int row, int col) {
    TSpriteDraw* b = board_();
    const int w = b->BoardWidth();
    const int h = b->BoardHeight();
    const TPieceSprite& p = b->Piece(row, col);
    const int side = std::max(p.Width, p.Height);
    const int across = std::max(1, (w - side) / 23);
    const int down = std::max(1, (h - side) / 23);
    const int ring = 2 * (across + down);
    for (int attempt = 0; attempt < ring; ++attempt) {
      const int slot = parked_++ % ring;
      TBoardPoint at;
      if (slot < across) {
        at = TBoardPoint{slot * 23, 0};
      } else if (slot < across + down) {
        at = TBoardPoint{w - side, (slot - across) * 23};
      } else if (slot < 2 * across + down) {
        at = TBoardPoint{w - side - (slot - across - down) * 23, h - side};
      } else {
        at = TBoardPoint{0, h - side - (slot - 2 * across - down) * 23};
      }
      if (DragPieceTo(row, col, at.X, at.Y)) return true;
    }
    return false;
  }

  bool Uncover(int row, int col) {
    for (int attempt = 0; attempt < 64; ++attempt) {
      TSpriteDraw* b = board_();
      if (!b) return false;
      TBoardPoint at;
      if (GrabPoint(row, col, at)) return true;
      const TPieceSprite& p = b->Piece(row, col);
      const int w = (p.Rotation & 1) ? p.Height : p.Width;
      const int h = (p.Rotation & 1) ? p.Width : p.Height;
      int coverCol = -1, coverRow = -1;
      if (!b->HitTest(p.X + w / 2, p.Y + h / 2, coverCol, coverRow)) return false;
      if ((coverRow == row && coverCol == col) || b->Piece(coverRow, coverCol).Placed != 0) {
        return false;
      }
      if (!Uncover(coverRow, coverCol) || !Park(coverRow, coverCol)) return false;
    }
    return false;
  }

  std::function<TSpriteDraw*()> board_;
  IPointer& pointer_;
  int parked_ = 0;
};

}  // namespace duduri::test
