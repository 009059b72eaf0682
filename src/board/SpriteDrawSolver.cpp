// The two solvers: one piece animated to its first grid neighbour, or every
// piece animated home so that the completed picture ends centred on the
// board. Both step on the animation timer.

#include <algorithm>
#include <cstdlib>

#include "board/SpriteDraw.h"

namespace duduri {

namespace {

constexpr int kSolveOneInterval = 10;
constexpr int kSolveAllInterval = 20;
constexpr int kSolverStep = 15;

// Moves `value` toward `target` by at most `step`.
int StepToward(int value, int target, int step) {
  if (value < target) return value + std::min(step, target - value);
  if (value > target) return value - std::min(step, value - target);
  return value;
}

}  // namespace

void TSpriteDraw::createAnimationTimer(int interval) {
  if (animationDepth_ == 0) retiredTimers_.clear();
  animationTimer_ = platform_.CreateTimer(interval, true, [this] { AnimationStep(); });
}

void TSpriteDraw::discardAnimationTimer() {
  if (!animationTimer_) return;
  // The timer is usually discarded from inside its own tick, so it is only
  // stopped here and released once no tick of it can be running.
  animationTimer_->SetEnabled(false);
  retiredTimers_.push_back(std::move(animationTimer_));
}

void TSpriteDraw::SolveOnePiece() {
  if (!hasPieces() || gamePaused_ || solvingAll_ || solvingOne_) return;
  drawContinue_ = false;
  removeIdle();
  RebuildStaticLayer();
  if (!animationTimer_) createAnimationTimer(kSolveOneInterval);
  stepX_ = kSolverStep;
  stepY_ = kSolverStep;

  TPieceSprite& p = piece(clickedRow_, clickedCol_);
  // The first neighbour in grid order: above, left, right, below.
  static constexpr int kRow[4] = {-1, 0, 0, 1};
  static constexpr int kCol[4] = {0, -1, 1, 0};
  int n = 0;
  while (n < 4 && !inGrid(clickedRow_ + kRow[n], clickedCol_ + kCol[n])) ++n;
  if (p.Placed == 1 || n == 4) {
    // Nothing to animate (a one-piece board has no neighbour at all). The
    // timer is kept for the next solver but does not tick meanwhile.
    animationTimer_->SetEnabled(false);
    return;
  }
  solvingOne_ = true;
  hintRow_ = clickedRow_ + kRow[n];
  hintCol_ = clickedCol_ + kCol[n];
  const TPieceSprite& neighbour = piece(hintRow_, hintCol_);
  const TBoardPoint home = RotatedHome(clickedRow_, clickedCol_, neighbour.Rotation);
  const TBoardPoint offset = Offset(hintRow_, hintCol_);
  hintTargetX_ = home.X + offset.X;
  hintTargetY_ = home.Y + offset.Y;
  p.Rotation = neighbour.Rotation;
  ensureSprite(p);
  makeShadow(p, p.Rotation);
  animationTimer_->SetEnabled(true);
}

bool TSpriteDraw::solveOneStep() {
  const int col = clickedCol_;
  const int row = clickedRow_;
  TPieceSprite& p = piece(row, col);
  // The arrow keys still move pieces while the piece flies, the neighbour's
  // group among them: the piece goes to where its neighbour is now, or it
  // would be joined to a place its neighbour has left.
  const TBoardPoint home = RotatedHome(row, col, piece(hintRow_, hintCol_).Rotation);
  const TBoardPoint offset = Offset(hintRow_, hintCol_);
  hintTargetX_ = home.X + offset.X;
  hintTargetY_ = home.Y + offset.Y;
  if (std::abs(p.X - hintTargetX_) > jigsawMagnet_ ||
      std::abs(p.Y - hintTargetY_) > jigsawMagnet_) {
    // A step once shortened stays short for the rest of this animation; only
    // a step that has shrunk to nothing while the piece was moved away
    // meanwhile (the arrow keys still act) grows again, or it would never
    // arrive.
    const int dx = std::abs(hintTargetX_ - p.X);
    const int dy = std::abs(hintTargetY_ - p.Y);
    stepX_ = stepX_ == 0 ? std::min(kSolverStep, dx) : std::min(stepX_, dx);
    stepY_ = stepY_ == 0 ? std::min(kSolverStep, dy) : std::min(stepY_, dy);
    p.X = StepToward(p.X, hintTargetX_, stepX_);
    p.Y = StepToward(p.Y, hintTargetY_, stepY_);
    ComposeFrame();
    return true;
  }

  discardAnimationTimer();
  TPieceSprite& n = piece(hintRow_, hintCol_);
  n.Placed = 1;
  makeShadow(n, n.Rotation);
  p.Placed = 1;
  p.X = hintTargetX_;
  p.Y = hintTargetY_;
  makeShadow(p, p.Rotation);
  currentCol_ = col;
  currentRow_ = row;
  setGroup(row, col, 0, 0, false);
  raiseGroup(group_);
  dragging_ = false;
  moved_ = false;
  RebuildStaticLayer();
  ComposeFrame();
  if (!present()) return false;
  clearGroup();
  staticStale_ = true;
  drawContinue_ = false;
  removeIdle();
  solvingOne_ = false;
  rightPressed_ = false;
  bandSelecting_ = false;
  piecesLeft_ = CountPiecesLeft();
  if (!raise(onPiecesInRightPlace_, TSender(this), col, row)) return false;
  won_ = CheckWin();
  if (won_) solverWon();
  return true;
}

void TSpriteDraw::SolveAll(bool Ask) {
  // A finished game fails every win test, so solving it would never end.
  if (!hasPieces() || gamePaused_ || finished_) return;
  if (Ask) {
    const std::shared_ptr<const bool> alive = alive_;
    const bool yes = platform_.AskYesNo("Solve all pieces?");
    if (!*alive || !yes) return;
  }
  if (solvingAll_ || solvingOne_) return;
  removeIdle();
  drawContinue_ = false;
  solvingAll_ = true;
  // An existing timer keeps its interval.
  if (!animationTimer_) createAnimationTimer(kSolveAllInterval);
  stepX_ = kSolverStep;
  stepY_ = kSolverStep;
  bandSelecting_ = false;
  for (auto& row : pieces_) {
    for (TPieceSprite& p : row) p.Placed = 0;
  }
  animationTimer_->SetEnabled(true);
}

void TSpriteDraw::solveAllStep() {
  drawContinue_ = false;
  removeIdle();
  won_ = CheckWin();
  if (won_) {
    solvingAll_ = false;
    discardAnimationTimer();
    solverWon();
    return;
  }
  for (auto& row : pieces_) {
    for (TPieceSprite& p : row) {
      p.Rotation = 0;
      ensureSprite(p);
      const int tx = p.HomeX + originX_;
      const int ty = p.HomeY + originY_;
      if (std::abs(p.X - tx) > jigsawMagnet_ || std::abs(p.Y - ty) > jigsawMagnet_) {
        p.X = StepToward(p.X, tx, stepX_);
        p.Y = StepToward(p.Y, ty, stepY_);
      } else {
        p.Placed = 1;
        p.X = tx;
        p.Y = ty;
        makeShadow(p, 0);
      }
    }
  }
  RebuildStaticLayer();
  ComposeFrame();
}

void TSpriteDraw::solverWon() {
  // Solve-all joins pieces without counting them: a finished picture has
  // none left, whatever the count said before the solve.
  piecesLeft_ = CountPiecesLeft();
  clock_->SetEnabled(false);
  onTicks_.reset();
  finished_ = true;
  won_ = true;
}

void TSpriteDraw::AnimationStep() {
  if (animationDepth_ == 0) retiredTimers_.clear();
  ++animationDepth_;
  if (solvingAll_) {
    solveAllStep();
  } else if (solvingOne_) {
    if (!solveOneStep()) return;  // freed by the host: touch nothing
  }
  --animationDepth_;
  Publish();
  if (won_) raise(onWin_, TSender(this));
}

}  // namespace duduri
