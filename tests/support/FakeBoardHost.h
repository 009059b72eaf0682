#pragma once
// Fakes of the board's host interfaces for tests, benchmarks and headless
// games. Nothing here waits on a real clock: timers tick when FireTimer is
// called, the idle hook runs when RunIdle is called, and the Yes/No question
// gives a preset answer.

#include <functional>
#include <string>
#include <vector>

#include "board/BoardHost.h"
#include "raster/Bitmap32.h"

namespace duduri {

class TFakeBoardPlatform;

class TFakeTimer : public IBoardTimer {
 public:
  TFakeTimer(TFakeBoardPlatform& owner, int interval, bool enabled, std::function<void()> onTick);
  ~TFakeTimer() override;
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  void SetInterval(int milliseconds) override { interval_ = milliseconds; }
  int Interval() const override { return interval_; }
  const std::function<void()>& Handler() const { return onTick_; }

 private:
  TFakeBoardPlatform& owner_;
  int interval_;
  bool enabled_;
  std::function<void()> onTick_;
};

class TFakeBoardPlatform : public IBoardPlatform {
 public:
  std::unique_ptr<IBoardTimer> CreateTimer(int intervalMilliseconds, bool enabled,
                                           std::function<void()> onTick) override;
  void SetIdleHandler(std::function<void(bool& done)> handler) override;
  bool AskYesNo(const std::string& question) override;
  TColor32 WorkspaceColor() const override { return workspaceColor; }

  // Ticks `timer` once if it exists and is enabled, as a message-driven timer
  // would. Returns whether a tick ran. The timer may be destroyed during it.
  bool FireTimer(const IBoardTimer* timer);
  // Runs idle passes until the handler reports it is done, none is installed,
  // or `maxPasses` passes ran. Returns the number of passes.
  int RunIdle(int maxPasses = 1);
  bool IdleInstalled() const { return static_cast<bool>(idle_); }
  bool Alive(const IBoardTimer* timer) const;
  int TimersCreated() const { return timersCreated_; }

  TColor32 workspaceColor = 0xFF808080;
  bool answer = true;                  // what AskYesNo returns
  std::vector<std::string> questions;  // every question asked

 private:
  friend class TFakeTimer;
  std::vector<TFakeTimer*> timers_;
  std::function<void(bool&)> idle_;
  int timersCreated_ = 0;
};

class TFakeBoardControl : public TBoardControl {
 public:
  TFakeBoardControl(int width, int height);
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  void PaintFrame(const TBitmap32& frame) override;
  void PublishFrame(const TBitmap32& frame) override;

  // Delivers pointer events as the control would: to whatever handler is
  // installed, with the control as sender.
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  int paints = 0;
  int publishes = 0;
  bool keepPublished = true;  // copy every published frame into `picture`
  TBitmap32 picture;          // the control's own picture
  int hostMoves = 0;          // calls of the handlers the control had before the board
  int hostUps = 0;

 private:
  int width_;
  int height_;
};

}  // namespace duduri
