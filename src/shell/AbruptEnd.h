#pragma once
// When the program ends while its window is still open: exit() called from
// inside the event loop, as Qt's X11 plugin does when the display goes away
// ("The X11 connection broke"). No window is destroyed then, so FormDestroy
// never runs, and what must outlive the program -- the high scores won in
// this session, the "-T" project file to remove -- would be lost with it.
//
// A guard made for a running game flow has TGameFlow::EndAbruptly called for
// it from an exit handler, if it still lives when the process exits. It is
// released (and then does nothing) when the window closes as it should.

namespace duduri {

class TGameFlow;

class TAbruptEndGuard {
 public:
  explicit TAbruptEndGuard(TGameFlow& flow);
  ~TAbruptEndGuard();
  TAbruptEndGuard(const TAbruptEndGuard&) = delete;
  TAbruptEndGuard& operator=(const TAbruptEndGuard&) = delete;

 private:
  TGameFlow& flow_;
};

}  // namespace duduri
