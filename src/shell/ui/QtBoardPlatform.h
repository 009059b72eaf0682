#pragma once
// The board's platform on Qt: QTimers behind the board's timers, and a
// stand-in for the application's idle hook.
//
// The idle hook: while the board has a handler installed, passes run at the
// display's pace. A pass that asks for another one (a drag in progress) gets
// it one frame later, but only if input reached the board meanwhile: the
// board's picture changes only through its entry points, and the solver
// animations draw from their own timer, so with no input there is nothing
// new to draw and no pass runs. A board holding a piece still costs nothing.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "board/BoardHost.h"

namespace duduri {

class IShellServices;

class TQtBoardPlatform : public QObject, public IBoardPlatform {
  Q_OBJECT

 public:
  TQtBoardPlatform(IShellServices& services, QObject* parent = nullptr);
  ~TQtBoardPlatform() override;

  std::unique_ptr<IBoardTimer> CreateTimer(int intervalMilliseconds, bool enabled,
                                           std::function<void()> onTick) override;
  void SetIdleHandler(std::function<void(bool& done)> handler) override;
  bool AskYesNo(const std::string& question) override;
  TColor32 WorkspaceColor() const override;

  // Input reached the board: a frame may be wanted.
  void InputArrived();
  bool IdleInstalled() const { return static_cast<bool>(idle_); }
  // Frames per second the idle passes are paced at.
  int FrameRate() const { return 1000 / frameInterval_; }
  int IdlePasses() const { return passes_; }

 private:
  void schedule();
  void pass();

  IShellServices& services_;
  std::shared_ptr<std::function<void(bool&)>> idle_;
  QTimer idleTimer_;
  QElapsedTimer sinceLastPass_;
  int frameInterval_ = 16;
  bool wanted_ = false;  // input since the last pass, or a new handler
  int passes_ = 0;
};

}  // namespace duduri
