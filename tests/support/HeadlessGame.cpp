#include "support/HeadlessGame.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace duduri {

namespace {

constexpr int kEdge = 5;  // the board clamps the pointer this far inside its edges

}  // namespace

THeadlessGame::THeadlessGame(const TSpriteSource& source, int boardWidth, int boardHeight,
                             const TSpriteDrawParam& param)
    : control_(boardWidth, boardHeight) {
  board_ = std::make_unique<TSpriteDraw>(control_, platform_, param, source);
}

THeadlessGame::~THeadlessGame() {
  board_.reset();
}

void THeadlessGame::Start(bool timeTrial, int ticks) {
  if (!board_) return;
  board_->SetPiecesVisible(true);
  board_->SetTimeTrialMode(timeTrial);
  board_->SetTicks(ticks);
  board_->Redraw(false);
}

void THeadlessGame::StartClock() {
  if (board_) board_->SetOnTicks([](TSender, int&) {});
}

TBoardPoint THeadlessGame::Press(int x, int y, TMouseButton button, TShiftState shift) {
  int col = -1, row = -1;
  if (board_) board_->PiecesMouseDown(&control_, shift, x, y, button, col, row);
  return TBoardPoint{col, row};
}

void THeadlessGame::Move(int x, int y, TShiftState shift) {
  control_.MouseMove(shift, x, y);
  platform_.RunIdle(1);
}

void THeadlessGame::Release(int x, int y, TMouseButton button, TShiftState shift) {
  control_.MouseUp(button, shift, x, y);
}

void THeadlessGame::Key(int virtualKey) {
  if (board_) board_->PiecesKeyDown(virtualKey);
}

bool THeadlessGame::TickClock() {
  return board_ != nullptr && platform_.FireTimer(&board_->Clock());
}

bool THeadlessGame::TickAnimation() {
  return board_ != nullptr && platform_.FireTimer(board_->AnimationTimer());
}

int THeadlessGame::RunAnimation(int maxTicks) {
  int ticks = 0;
  while (ticks < maxTicks && TickAnimation()) ++ticks;
  return ticks;
}

int THeadlessGame::Idle(int maxPasses) {
  return platform_.RunIdle(maxPasses);
}

bool THeadlessGame::GrabPoint(int row, int col, TBoardPoint& at) const {
  if (!board_ || row < 0 || col < 0 || row >= board_->PiecesY() || col >= board_->PiecesX()) {
    return false;
  }
  const TPieceSprite& p = board_->Piece(row, col);
  const int w = (p.Rotation & 1) ? p.Height : p.Width;
  const int h = (p.Rotation & 1) ? p.Width : p.Height;
  const int cx = w / 2;
  const int cy = h / 2;
  auto grabs = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    const int bx = p.X + x;
    const int by = p.Y + y;
    if (bx < kEdge || by < kEdge || bx > board_->BoardWidth() - kEdge ||
        by > board_->BoardHeight() - kEdge) {
      return false;
    }
    int hitCol = -1, hitRow = -1;
    return board_->HitTest(bx, by, hitCol, hitRow) && hitCol == col && hitRow == row;
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

bool THeadlessGame::DragPieceTo(int row, int col, int x, int y, int steps) {
  TBoardPoint grab;
  if (!GrabPoint(row, col, grab)) return false;
  const TPieceSprite& p = board_->Piece(row, col);
  const int tx = x + (grab.X - p.X);
  const int ty = y + (grab.Y - p.Y);
  if (tx < kEdge || ty < kEdge || tx > board_->BoardWidth() - kEdge ||
      ty > board_->BoardHeight() - kEdge) {
    return false;
  }
  const TBoardPoint hit = Press(grab.X, grab.Y);
  if (hit.X != col || hit.Y != row) {
    Release(grab.X, grab.Y);
    return false;
  }
  steps = std::max(1, steps);
  for (int i = 1; i <= steps; ++i) {
    Move(grab.X + (tx - grab.X) * i / steps, grab.Y + (ty - grab.Y) * i / steps);
  }
  Release(tx, ty);
  return true;
}

bool THeadlessGame::RotatePiece(int row, int col) {
  TBoardPoint grab;
  if (!GrabPoint(row, col, grab)) return false;
  const TBoardPoint hit = Press(grab.X, grab.Y, mbRight);
  Release(grab.X, grab.Y, mbRight);
  return hit.X == col && hit.Y == row;
}

bool THeadlessGame::RotateTo(int row, int col, int rotation) {
  for (int i = 0; i < 4 && board_; ++i) {
    if (board_->Piece(row, col).Rotation == (rotation & 3)) return true;
    if (!RotatePiece(row, col)) return false;
  }
  return board_ && board_->Piece(row, col).Rotation == (rotation & 3);
}

TBoardPoint THeadlessGame::FitPosition(int row, int col, int nRow, int nCol) const {
  const TBoardPoint home = board_->RotatedHome(row, col);
  const TBoardPoint offset = board_->Offset(nRow, nCol);
  return TBoardPoint{home.X + offset.X, home.Y + offset.Y};
}

bool THeadlessGame::park(int row, int col) {
  // Places along the border, clockwise from the top-left, 23 pixels apart so
  // that parked pieces overlap as little as they can.
  const int w = board_->BoardWidth();
  const int h = board_->BoardHeight();
  const TPieceSprite& p = board_->Piece(row, col);
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

bool THeadlessGame::Uncover(int row, int col) {
  for (int attempt = 0; attempt < 64 && board_; ++attempt) {
    TBoardPoint at;
    if (GrabPoint(row, col, at)) return true;
    const TPieceSprite& p = board_->Piece(row, col);
    const int w = (p.Rotation & 1) ? p.Height : p.Width;
    const int h = (p.Rotation & 1) ? p.Width : p.Height;
    int coverCol = -1, coverRow = -1;
    if (!board_->HitTest(p.X + w / 2, p.Y + h / 2, coverCol, coverRow)) return false;
    if ((coverRow == row && coverCol == col) || board_->Piece(coverRow, coverCol).Placed != 0) {
      return false;
    }
    if (!Uncover(coverRow, coverCol) || !park(coverRow, coverCol)) return false;
  }
  return false;
}

int THeadlessGame::SolveByDrops(int slack) {
  if (!board_) return 0;
  const int columns = board_->PiecesX();
  const int rows = board_->PiecesY();
  if (columns == 0 || rows == 0) return 0;
  // The picture centred on the board, so that every piece can be reached;
  // whatever lies there now is moved to the border first.
  const int left = (board_->BoardWidth() - board_->CellWidth() * columns) / 2;
  const int top = (board_->BoardHeight() - board_->CellHeight() * rows) / 2;
  const TRect area{left - 8, top - 8, left + board_->CellWidth() * columns + 8,
                   top + board_->CellHeight() * rows + 8};
  for (int row = 0; row < rows && board_; ++row) {
    for (int col = 0; col < columns && board_; ++col) {
      const TPieceSprite& p = board_->Piece(row, col);
      const bool inside = p.X < area.Right && p.Y < area.Bottom &&
                          p.X + std::max(p.Width, p.Height) > area.Left &&
                          p.Y + std::max(p.Width, p.Height) > area.Top;
      if (inside && Uncover(row, col)) park(row, col);
    }
  }
  for (int row = 0; row < rows && board_; ++row) {
    for (int col = 0; col < columns && board_; ++col) {
      if (Uncover(row, col)) RotateTo(row, col, 0);
    }
  }
  int drops = 0;
  if (!board_) return drops;
  const TPieceSprite& anchor = board_->Piece(0, 0);
  if (Uncover(0, 0) && DragPieceTo(0, 0, anchor.HomeX + left, anchor.HomeY + top)) ++drops;
  for (int row = 0; row < rows && board_; ++row) {
    for (int col = 0; col < columns && board_; ++col) {
      if (row == 0 && col == 0) continue;
      const int nRow = row > 0 ? row - 1 : row;
      const int nCol = row > 0 ? col : col - 1;
      if (!Uncover(row, col)) continue;
      const TBoardPoint fit = FitPosition(row, col, nRow, nCol);
      if (DragPieceTo(row, col, fit.X + slack, fit.Y + slack)) ++drops;
    }
  }
  return drops;
}

}  // namespace duduri
