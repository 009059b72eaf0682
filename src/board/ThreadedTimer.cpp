#include "board/ThreadedTimer.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

namespace duduri {

namespace {

class TSteadyClock : public ITimerClock {
 public:
  bool WaitFor(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
               std::uint32_t ms, const std::function<bool()>& woken) override {
    return !wake.wait_for(lock, std::chrono::milliseconds(ms), woken);
  }
};

int niceOf(TThreadPriority priority) {
  switch (priority) {
    case tpIdle:
      return 19;
    case tpLowest:
      return 10;
    case tpLower:
      return 5;
    case tpNormal:
      return 0;
    case tpHigher:
      return -5;
    case tpHighest:
      return -10;
    case tpTimeCritical:
      return -20;
  }
  return 0;
}

}  // namespace

ITimerClock& SystemTimerClock() {
  static TSteadyClock clock;
  return clock;
}

// What the timer, its worker and the ticks handed over share. The fields
// under `mutex` are the worker's; the others are touched on the UI thread
// only (by the timer and by the ticks it runs there), so a tick that runs
// after the timer has gone finds `gone` set and does nothing.
struct TThreadedTimer::TShared {
  std::mutex mutex;
  std::condition_variable wake;
  // Under mutex.
  bool running = false;    // the worker may time ticks
  bool signalled = false;  // the wake-up event: the next wait ends without a tick
  bool terminate = false;
  bool tickDone = true;  // the tick handed over has run
  std::uint32_t interval = 1000;
  TThreadPriority priority = tpNormal;
  bool priorityChanged = false;
  // UI thread only.
  bool enabled = false;
  bool allowZero = false;
  bool gone = false;
  TSender sender = nullptr;
  TTimerEvent onTimer;
};

TThreadedTimer::TThreadedTimer(ITimerHandOver& handOver, ITimerClock& clock)
    : handOver_(handOver), clock_(clock), shared_(std::make_shared<TShared>()) {
  shared_->sender = this;
}

TThreadedTimer::~TThreadedTimer() {
  shared_->enabled = false;
  shared_->gone = true;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->terminate = true;
    shared_->running = false;
  }
  shared_->wake.notify_all();
  if (worker_.joinable()) worker_.join();
}

bool TThreadedTimer::Enabled() const {
  return shared_->enabled;
}

void TThreadedTimer::SetEnabled(bool value) {
  if (value == shared_->enabled) return;
  shared_->enabled = value;
  const bool run = value && (Interval() > 0 || shared_->allowZero);
  if (run) startWorker();
  {
    std::lock_guard lock(shared_->mutex);
    shared_->running = run;
    if (run) shared_->signalled = true;
  }
  shared_->wake.notify_all();
}

std::uint32_t TThreadedTimer::Interval() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->interval;
}

void TThreadedTimer::SetInterval(std::uint32_t value) {
  if (value == Interval()) return;
  const bool was = shared_->enabled;
  SetEnabled(false);
  {
    std::lock_guard lock(shared_->mutex);
    shared_->interval = value;
  }
  SetEnabled(was);
}

bool TThreadedTimer::AllowZero() const {
  return shared_->allowZero;
}

void TThreadedTimer::SetAllowZero(bool value) {
  shared_->allowZero = value;
}

TThreadPriority TThreadedTimer::ThreadPriority() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->priority;
}

void TThreadedTimer::SetThreadPriority(TThreadPriority value) {
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->priority == value) return;
    shared_->priority = value;
    shared_->priorityChanged = true;
  }
  shared_->wake.notify_all();
}

void TThreadedTimer::SetOnTimer(TTimerEvent handler) {
  shared_->onTimer = std::move(handler);
}

bool TThreadedTimer::WorkerRunning() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->running && worker_.joinable();
}

void TThreadedTimer::startWorker() {
  if (worker_.joinable()) return;
  std::shared_ptr<TShared> shared = shared_;
  ITimerHandOver& handOver = handOver_;
  ITimerClock& clock = clock_;
  worker_ = std::thread([shared, &handOver, &clock] {
    TShared& s = *shared;
    std::unique_lock lock(s.mutex);
    for (;;) {
      if (s.priorityChanged) {
        s.priorityChanged = false;
        // Best effort: an unprivileged process may not raise its priority.
        setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), niceOf(s.priority));
      }
      if (s.terminate) break;
      if (!s.running) {
        s.wake.wait(lock, [&s] { return s.running || s.terminate || s.priorityChanged; });
        continue;
      }
      const bool timedOut = clock.WaitFor(s.wake, lock, s.interval, [&s] {
        return s.signalled || s.terminate || !s.running || s.priorityChanged;
      });
      if (!timedOut) {
        // Enabling (or a change of interval) signals: skip this tick, so the
        // next one comes a full interval later.
        s.signalled = false;
        continue;
      }
      s.tickDone = false;
      lock.unlock();
      handOver.Post([shared] {
        TShared& t = *shared;
        if (!t.gone && t.enabled && t.onTimer) {
          // A copy: the handler may replace itself or destroy the timer.
          const TTimerEvent handler = t.onTimer;
          try {
            handler(t.sender);
          } catch (...) {
            // A failing tick must not stop the ones after it.
          }
        }
        {
          std::lock_guard done(t.mutex);
          t.tickDone = true;
        }
        t.wake.notify_all();
      });
      lock.lock();
      s.wake.wait(lock, [&s] { return s.tickDone || s.terminate; });
    }
  });
}

}  // namespace duduri
