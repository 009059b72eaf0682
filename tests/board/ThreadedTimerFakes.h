#pragma once
// Fakes for TThreadedTimer: a clock that only the test moves, and a hand-over
// that queues ticks until the test (standing in for the UI thread) runs them.
// The worker still is a real thread, so the helpers below wait for it to get
// somewhere; they wait on its progress, with a generous bound, never on time.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "board/ThreadedTimer.h"

namespace duduri::test {

inline constexpr auto kWorkerBound = std::chrono::seconds(10);

// Polls `done` until it holds or the bound passes; returns whether it held.
inline bool Eventually(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + kWorkerBound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class TManualTimerClock : public ITimerClock {
 public:
  bool WaitFor(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
               std::uint32_t ms, const std::function<bool()>& woken) override {
    // A wait that is over before it starts (the timer was just signalled)
    // is not counted, so tests can wait for "the worker is timing".
    if (woken()) return false;
    const std::uint64_t deadline = now_.load() + ms;
    ++waits_;
    ++inside_;
    bool timedOut = false;
    while (!woken()) {
      if (now_.load() >= deadline) {
        timedOut = true;
        break;
      }
      // Only Advance moves this clock; the short real wait just lets the
      // worker see it.
      wake.wait_for(lock, std::chrono::milliseconds(1));
    }
    --inside_;
    return timedOut;
  }

  void Advance(std::uint32_t ms) { now_ += ms; }
  // Waits begun so far, and waits in progress.
  int Waits() const { return waits_.load(); }
  int Inside() const { return inside_.load(); }
  bool WaitsReach(int n) const {
    return Eventually([&] { return waits_.load() >= n && inside_.load() > 0; });
  }

 private:
  std::atomic<std::uint64_t> now_{0};
  std::atomic<int> waits_{0};
  std::atomic<int> inside_{0};
};

class TQueuedHandOver : public ITimerHandOver {
 public:
  void Post(std::function<void()> call) override {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
    ++posted_;
  }
  int Posted() const {
    std::lock_guard lock(mutex_);
    return posted_;
  }
  std::size_t Pending() const {
    std::lock_guard lock(mutex_);
    return calls_.size();
  }
  bool PostedReach(int n) const {
    return Eventually([&] { return Posted() >= n; });
  }
  // Runs what is queued now, on the calling thread; returns how many ran.
  int RunPending() {
    std::deque<std::function<void()>> calls;
    {
      std::lock_guard lock(mutex_);
      calls.swap(calls_);
    }
    for (auto& call : calls) call();
    return int(calls.size());
  }

 private:
  mutable std::mutex mutex_;
  std::deque<std::function<void()>> calls_;
  int posted_ = 0;
};

}  // namespace duduri::test
