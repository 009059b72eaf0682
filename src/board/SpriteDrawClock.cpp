// The game clock (seconds played, or left in a time trial), the win test,
// the end of a game after a drop, and pausing.

#include <cstdlib>

#include "board/SpriteDraw.h"

namespace duduri {

void TSpriteDraw::SetTicks(int value) {
  ticks_ = value;
  tickCounter_ = value;
}

void TSpriteDraw::SetEnabledTimer(bool value) {
  enabledTimer_ = value;
  clock_->SetEnabled(value);
}

void TSpriteDraw::SetOnTicks(TOnTicks handler) {
  onTicks_ = Slot(std::move(handler));
  // Assigning the handler is what starts the clock of a new game, unless the
  // picture is complete already.
  won_ = CheckWin();
  if (!won_) clock_->SetEnabled(true);
}

bool TSpriteDraw::CheckWin() const {
  if (finished_ || !hasPieces()) return false;
  // The picture may lie anywhere, but every piece must sit where the current
  // piece says it belongs.
  const TPieceSprite& reference = pieces_[currentRow_][currentCol_];
  if (reference.Rotation != 0) return false;
  const int dx = reference.X - reference.HomeX;
  const int dy = reference.Y - reference.HomeY;
  for (const auto& row : pieces_) {
    for (const TPieceSprite& p : row) {
      if (p.Placed == 0 || p.Rotation != 0) return false;
      if (std::abs((p.X - p.HomeX) - dx) > jigsawMagnet_) return false;
      if (std::abs((p.Y - p.HomeY) - dy) > jigsawMagnet_) return false;
    }
  }
  return true;
}

void TSpriteDraw::ClockTick() {
  const TSender clock = clock_.get();
  bool winNow = false;
  bool loseNow = false;
  if (timeTrialMode_) {
    // No win test while a piece or group is being moved.
    if (!moved_ && !groupMoved_) winNow = CheckWin();
    if (tickCounter_ > 0) {
      if (winNow) {
        clock_->SetEnabled(false);
      } else {
        --tickCounter_;
      }
    } else if (tickCounter_ == 0) {
      currentCol_ = 0;
      currentRow_ = 0;
      staticStale_ = true;
      clock_->SetEnabled(false);
      loseNow = !winNow;
    }
  } else {
    ++tickCounter_;
  }
  ticks_ = tickCounter_;
  if (onTicks_ && !winNow) {
    // The handler may change the counter; the next tick counts from there.
    int counter = tickCounter_;
    if (!raise(onTicks_, clock, counter)) return;
    tickCounter_ = counter;
  }
  if (winNow) {
    raise(onWin_, clock);
  } else if (loseNow) {
    raise(onLose_, clock);
  }
}

bool TSpriteDraw::winAfterRelease(TSender sender) {
  won_ = CheckWin();
  if (!won_) return true;
  if (!timeTrialMode_) {
    currentCol_ = 0;
    currentRow_ = 0;
    staticStale_ = true;
    clock_->SetEnabled(false);
    if (animationTimer_) animationTimer_->SetEnabled(false);
    removeIdle();
    onTicks_.reset();
    finished_ = true;
    return raise(onWin_, TSender(this));
  }
  // A time trial completed after the counter ran out raises nothing here.
  if (tickCounter_ <= 0) return true;
  currentCol_ = 0;
  currentRow_ = 0;
  staticStale_ = true;
  clock_->SetEnabled(false);
  onTicks_.reset();
  return raise(onWin_, sender);
}

void TSpriteDraw::TogglePause() {
  gamePaused_ = !gamePaused_;
  // Resuming restarts the clock whatever EnabledTimer holds.
  clock_->SetEnabled(!gamePaused_);
  if (animationTimer_) animationTimer_->SetEnabled(!gamePaused_ && (solvingAll_ || solvingOne_));
  if (!gamePaused_) {
    redraw(true);
  } else {
    ShowBackgroundOnly();
    Publish();
  }
}

}  // namespace duduri
