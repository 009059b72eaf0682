#include "support/HeadlessGame.h"

namespace duduri {

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
  return solver_.GrabPoint(row, col, at);
}

bool THeadlessGame::DragPieceTo(int row, int col, int x, int y, int steps) {
  return solver_.DragPieceTo(row, col, x, y, steps);
}

bool THeadlessGame::RotatePiece(int row, int col) {
  return solver_.RotatePiece(row, col);
}

bool THeadlessGame::RotateTo(int row, int col, int rotation) {
  return solver_.RotateTo(row, col, rotation);
}

TBoardPoint THeadlessGame::FitPosition(int row, int col, int nRow, int nCol) const {
  return solver_.FitPosition(row, col, nRow, nCol);
}

bool THeadlessGame::Uncover(int row, int col) {
  return solver_.Uncover(row, col);
}

int THeadlessGame::SolveByDrops(int slack) {
  return solver_.Solve(slack);
}

}  // namespace duduri
