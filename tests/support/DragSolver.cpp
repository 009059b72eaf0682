#include "support/DragSolver.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace duduri {

namespace {

constexpr int kEdge = 5;  // the board clamps the pointer this far inside the table's edges
// Points the solver presses on or drops at lie this far inside the view,
// clear of the band where dragging scrolls the view.
constexpr int kViewMargin = 48;
constexpr int kParkGap = 23;  // border parking places of a table the size of the view

}  // namespace

TBoardPoint TDragSolver::Show(int x, int y) {
  TSpriteDraw* b = board_();
  if (!b) return TBoardPoint{x, y};
  if (b->View().Zoom() != 1.0) b->ZoomViewAt(1.0, b->ViewWidth() / 2, b->ViewHeight() / 2);
  TBoardPoint v = b->TableToView(x, y);
  // Presses on the overview map move the view instead of taking a piece.
  const TRect map = b->OverviewRect();
  const bool onMap = v.X >= map.Left - kEdge && v.X < map.Right + kEdge &&
                     v.Y >= map.Top - kEdge && v.Y < map.Bottom + kEdge;
  const bool inside = !onMap && v.X >= kViewMargin && v.Y >= kViewMargin &&
                      v.X < b->ViewWidth() - kViewMargin && v.Y < b->ViewHeight() - kViewMargin;
  if (!inside && b->View().CanPan()) {
    b->CentreViewOn(x, y);
    v = b->TableToView(x, y);
  }
  return v;
}

bool TDragSolver::GrabPoint(int row, int col, TBoardPoint& at) {
  TSpriteDraw* b = board_();
  if (!b || row < 0 || col < 0 || row >= b->PiecesY() || col >= b->PiecesX()) return false;
  const TPieceSprite& p = b->Piece(row, col);
  const int w = RotatedWidth(p);
  const int h = RotatedHeight(p);
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
  // Square rings around the middle, nearest first; within the first ring that
  // has a point that grabs the piece, the point nearest the middle wins.
  for (int d = 0; d <= std::max(w, h); ++d) {
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (int y = cy - d; y <= cy + d; ++y) {
      const int step = (y == cy - d || y == cy + d) ? 1 : 2 * d;
      for (int x = cx - d; x <= cx + d; x += std::max(1, step)) {
        const std::int64_t dist = std::int64_t(x - cx) * (x - cx) + std::int64_t(y - cy) * (y - cy);
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

bool TDragSolver::DragPieceTo(int row, int col, int x, int y, int steps) {
  TBoardPoint grab;
  if (!GrabPoint(row, col, grab)) return false;
  TSpriteDraw* b = board_();
  const TPieceSprite& p = b->Piece(row, col);
  const int tx = x + (grab.X - p.X);
  const int ty = y + (grab.Y - p.Y);
  if (tx < kEdge || ty < kEdge || tx > b->BoardWidth() - kEdge || ty > b->BoardHeight() - kEdge) {
    return false;
  }
  const TBoardPoint from = Show(grab.X, grab.Y);
  const TBoardPoint hit = pointer_.Press(from.X, from.Y, mbLeft);
  if (hit.X != col || hit.Y != row) {

    pointer_.Release(from.X, from.Y, mbLeft);
    return false;
  }
  // Where the drop lies out of view, the view goes there first, as with the
  // scroll bars; the held piece stays under the pointer meanwhile.
  if (!(b = board_())) return true;
  const TBoardPoint to = Show(tx, ty);
  steps = std::max(1, steps);
  for (int i = 1; i <= steps; ++i) {
    pointer_.Move(from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps);
  }
  pointer_.Release(to.X, to.Y, mbLeft);
  return true;
}

bool TDragSolver::RotatePiece(int row, int col) {
  TBoardPoint grab;
  if (!GrabPoint(row, col, grab)) return false;
  const TBoardPoint at = Show(grab.X, grab.Y);
  const TBoardPoint hit = pointer_.Press(at.X, at.Y, mbRight);
  pointer_.Release(at.X, at.Y, mbRight);
  return hit.X == col && hit.Y == row;
}

bool TDragSolver::RotateTo(int row, int col, int rotation) {
  for (int i = 0; i < 4; ++i) {
    TSpriteDraw* b = board_();
    if (!b) return false;
    if (b->Piece(row, col).Rotation == (rotation & 3)) return true;
    if (!RotatePiece(row, col)) return false;
  }
  TSpriteDraw* b = board_();
  return b && b->Piece(row, col).Rotation == (rotation & 3);
}

TBoardPoint TDragSolver::FitPosition(int row, int col, int nRow, int nCol) {
  TSpriteDraw* b = board_();
  const TBoardPoint home = b->RotatedHome(row, col);
  const TBoardPoint offset = b->Offset(nRow, nCol);
  return TBoardPoint{home.X + offset.X, home.Y + offset.Y};
}

bool TDragSolver::Park(int row, int col) {
  TSpriteDraw* b = board_();
  const int w = b->BoardWidth();
  const int h = b->BoardHeight();
  const TPieceSprite& p = b->Piece(row, col);
  const int side = std::max(p.Width, p.Height);
  if (b->BigTable()) {
    // Side by side outside the middle, where the picture is put together.
    const int columns = b->PiecesX();
    const int rows = b->PiecesY();
    const int left = (w - b->CellWidth() * columns) / 2 - side;
    const int top = (h - b->CellHeight() * rows) / 2 - side;
    const int right = left + b->CellWidth() * columns + 2 * side;
    const int bottom = top + b->CellHeight() * rows + 2 * side;
    // Further apart than any two neighbours fit, so that parked pieces never
    // join; they may overlap, and one that is wanted later is dug out from
    // under its neighbours.
    const int slot = std::max(b->CellWidth(), b->CellHeight()) + b->JigsawMagnet() + 2;
    const int across = std::max(1, (w - side - 2 * kEdge) / slot);
    const int down = std::max(1, (h - side - 2 * kEdge) / slot);
    for (int attempt = 0; attempt < across * down; ++attempt) {
      const int n = parked_++ % (across * down);
      const TBoardPoint at{kEdge + (n % across) * slot, kEdge + (n / across) * slot};
      if (at.X + side > left && at.X < right && at.Y + side > top && at.Y < bottom) continue;
      if (DragPieceTo(row, col, at.X, at.Y)) return true;
    }
    return false;
  }
  // Places along the border, clockwise from the top-left, 23 pixels apart so
  // that parked pieces overlap as little as they can.
  const int across = std::max(1, (w - side) / kParkGap);
  const int down = std::max(1, (h - side) / kParkGap);
  const int ring = 2 * (across + down);
  for (int attempt = 0; attempt < ring; ++attempt) {
    const int slot = parked_++ % ring;
    TBoardPoint at;
    if (slot < across) {
      at = TBoardPoint{slot * kParkGap, 0};
    } else if (slot < across + down) {
      at = TBoardPoint{w - side, (slot - across) * kParkGap};
    } else if (slot < 2 * across + down) {
      at = TBoardPoint{w - side - (slot - across - down) * kParkGap, h - side};
    } else {
      at = TBoardPoint{0, h - side - (slot - 2 * across - down) * kParkGap};
    }
    if (DragPieceTo(row, col, at.X, at.Y)) return true;
  }
  return false;
}

bool TDragSolver::Uncover(int row, int col) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    TSpriteDraw* b = board_();
    if (!b) return false;
    TBoardPoint at;
    if (GrabPoint(row, col, at)) return true;
    const TPieceSprite& p = b->Piece(row, col);
    int coverCol = -1, coverRow = -1;
    if (!b->HitTest(p.X + RotatedWidth(p) / 2, p.Y + RotatedHeight(p) / 2, coverCol, coverRow)) {
      return false;
    }
    if ((coverRow == row && coverCol == col) || b->Piece(coverRow, coverCol).Placed != 0) {
      return false;
    }
    if (!Uncover(coverRow, coverCol) || !Park(coverRow, coverCol)) return false;
  }
  return false;
}

int TDragSolver::Solve(int slack, int maxDrops) {
  TSpriteDraw* b = board_();
  if (!b || b->PiecesX() == 0 || b->PiecesY() == 0) return 0;
  const int columns = b->PiecesX();
  const int rows = b->PiecesY();
  // The picture goes together in the middle of the table, so that every
  // piece can be reached; whatever lies there now is moved aside first.
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
      if (drops >= maxDrops || !board_()) return drops;
      const int nRow = row > 0 ? row - 1 : row;
      const int nCol = row > 0 ? col : col - 1;
      if (!Uncover(row, col)) continue;
      if (!board_()) return drops;
      const TBoardPoint fit = FitPosition(row, col, nRow, nCol);
      if (DragPieceTo(row, col, fit.X + slack, fit.Y + slack)) ++drops;
    }
  }
  return drops;
}

}  // namespace duduri
