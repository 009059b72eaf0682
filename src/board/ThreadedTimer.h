#pragma once
// TThreadedTimer: a timer whose ticks are timed by a worker thread rather
// than the message loop's timer, so that short intervals (the sound players
// loop compressed music at 10 ms) keep their pace. The tick handler itself
// runs on the user-interface thread: the worker hands every tick over through
// an ITimerHandOver and waits until it has run, so ticks never overlap and a
// slow handler delays the next tick.
//
// Contract:
// - Every member is called on the user-interface thread; OnTimer runs there.
// - Enabled := true starts a full interval; an interval of 0 ticks only with
//   AllowZero (as fast as the UI thread takes the ticks), otherwise the timer
//   stays silent although Enabled reads true.
// - Setting Interval to a new value restarts the phase; setting it to the
//   value it has changes nothing.
// - An exception thrown by OnTimer is swallowed; later ticks still come.
// - The destructor returns only after the worker has ended. A tick handed
//   over but not yet run when the timer goes does nothing when it runs, so
//   the hand-over may run it late or drop it.
// - The worker thread is started on the first enabling, not at creation.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "board/BoardHost.h"

namespace duduri {

// Hands a call over to the user-interface thread. Post is called on the
// worker thread; it must not block and must not run the call itself. The call
// runs later on the UI thread (or never, when the UI has gone away).
class ITimerHandOver {
 public:
  virtual ~ITimerHandOver() = default;
  virtual void Post(std::function<void()> call) = 0;
};

// How the worker waits: the steady clock in the program, a clock moved by
// hand in tests.
class ITimerClock {
 public:
  virtual ~ITimerClock() = default;
  // Waits on `wake` with `lock` held until `woken()` is true (returns false)
  // or `ms` milliseconds have passed (returns true).
  virtual bool WaitFor(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
                       std::uint32_t ms, const std::function<bool()>& woken) = 0;
};

// The steady clock.
ITimerClock& SystemTimerClock();

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThreadedTimer {
 public:
  using TTimerEvent = std::function<void(TSender sender)>;

  // Both interfaces must outlive the timer.
  explicit TThreadedTimer(ITimerHandOver& handOver, ITimerClock& clock = SystemTimerClock());
  ~TThreadedTimer();
  TThreadedTimer(const TThreadedTimer&) = delete;
  TThreadedTimer& operator=(const TThreadedTimer&) = delete;

  bool Enabled() const;
  void SetEnabled(bool value);
  // Milliseconds between ticks; 1000 at creation.
  std::uint32_t Interval() const;
  void SetInterval(std::uint32_t value);
  bool AllowZero() const;
  void SetAllowZero(bool value);
  // Applied to the worker as a nice value; raising it may be refused by the
  // system, which leaves the thread at normal priority.
  TThreadPriority ThreadPriority() const;
  void SetThreadPriority(TThreadPriority value);
  // The tick handler; its sender is the timer.
  void SetOnTimer(TTimerEvent handler);

  // Whether the worker thread is running ticks (for tests).
  bool WorkerRunning() const;

 private:
  struct TShared;
  void startWorker();

  ITimerHandOver& handOver_;
  ITimerClock& clock_;
  std::shared_ptr<TShared> shared_;
  std::thread worker_;
};

}  // namespace duduri
