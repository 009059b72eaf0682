#include "support/FakeBoardHost.h"

#include <algorithm>

namespace duduri {

TFakeTimer::TFakeTimer(TFakeBoardPlatform& owner, int interval, bool enabled,
                       std::function<void()> onTick)
    : owner_(owner), interval_(interval), enabled_(enabled), onTick_(std::move(onTick)) {
  owner_.timers_.push_back(this);
}

TFakeTimer::~TFakeTimer() {
  auto& timers = owner_.timers_;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

std::unique_ptr<IBoardTimer> TFakeBoardPlatform::CreateTimer(int intervalMilliseconds, bool enabled,
                                                             std::function<void()> onTick) {
  ++timersCreated_;
  return std::make_unique<TFakeTimer>(*this, intervalMilliseconds, enabled, std::move(onTick));
}

void TFakeBoardPlatform::SetIdleHandler(std::function<void(bool& done)> handler) {
  idle_ = std::move(handler);
}

bool TFakeBoardPlatform::AskYesNo(const std::string& question) {
  questions.push_back(question);
  return answer;
}

bool TFakeBoardPlatform::Alive(const IBoardTimer* timer) const {
  return std::find(timers_.begin(), timers_.end(), timer) != timers_.end();
}

bool TFakeBoardPlatform::FireTimer(const IBoardTimer* timer) {
  const auto it = std::find(timers_.begin(), timers_.end(), timer);
  if (it == timers_.end() || !(*it)->Enabled() || !(*it)->Handler()) return false;
  // A copy: the tick may destroy the timer and its handler with it.
  const std::function<void()> handler = (*it)->Handler();
  handler();
  return true;
}

int TFakeBoardPlatform::RunIdle(int maxPasses) {
  int passes = 0;
  while (idle_ && passes < maxPasses) {
    const std::function<void(bool&)> handler = idle_;
    bool done = true;
    handler(done);
    ++passes;
    if (done) break;
  }
  return passes;
}

TFakeBoardControl::TFakeBoardControl(int width, int height) : width_(width), height_(height) {
  OnMouseMove = [this](TSender, TShiftState, int, int) { ++hostMoves; };
  OnMouseUp = [this](TSender, TMouseButton, TShiftState, int, int) { ++hostUps; };
}

void TFakeBoardControl::PaintFrame(const TBitmap32&) {
  ++paints;
}

void TFakeBoardControl::PublishFrame(const TBitmap32& frame) {
  ++publishes;
  if (keepPublished) picture.Assign(frame);
}

void TFakeBoardControl::MouseMove(TShiftState shift, int x, int y) {
  const TMouseMoveHandler handler = OnMouseMove;
  if (handler) handler(this, shift, x, y);
}

void TFakeBoardControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const TMouseUpHandler handler = OnMouseUp;
  if (handler) handler(this, button, shift, x, y);
}

}  // namespace duduri
