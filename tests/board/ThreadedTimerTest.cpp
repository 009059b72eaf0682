#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <thread>

#include "board/ThreadedTimer.h"
#include "board/ThreadedTimerFakes.h"

namespace duduri {
namespace {

using test::TManualTimerClock;
using test::TQueuedHandOver;

struct TimerRig {
  TManualTimerClock clock;
  TQueuedHandOver handOver;
  std::unique_ptr<TThreadedTimer> timer = std::make_unique<TThreadedTimer>(handOver, clock);
  int ticks = 0;
  std::thread::id tickThread;

  TimerRig() {
    timer->SetOnTimer([this](TSender sender) {
      EXPECT_EQ(sender, timer.get());
      tickThread = std::this_thread::get_id();
      ++ticks;
    });
  }
};

TEST(ThreadedTimer, TicksRunWhereTheHandOverRunsThemOneAtATime) {
  TimerRig r;
  r.timer->SetInterval(100);
  r.timer->SetEnabled(true);
  ASSERT_TRUE(r.clock.WaitsReach(1));
  r.clock.Advance(100);
  ASSERT_TRUE(r.handOver.PostedReach(1));
  // The worker waits for its tick to run: more time brings no second tick.
  r.clock.Advance(500);
  EXPECT_EQ(r.handOver.Pending(), 1u);
  EXPECT_EQ(r.clock.Inside(), 0);
  EXPECT_EQ(r.ticks, 0);

  r.handOver.RunPending();
  EXPECT_EQ(r.ticks, 1);
  EXPECT_EQ(r.tickThread, std::this_thread::get_id());
  // Once it has run, the next interval starts from the present.
  ASSERT_TRUE(r.clock.WaitsReach(2));
  EXPECT_EQ(r.handOver.Posted(), 1);
  r.clock.Advance(100);
  ASSERT_TRUE(r.handOver.PostedReach(2));
  r.handOver.RunPending();
  EXPECT_EQ(r.ticks, 2);
}

TEST(ThreadedTimer, SettingTheSameIntervalKeepsThePhase) {
  TimerRig r;
  r.timer->SetInterval(100);
  r.timer->SetEnabled(true);
  ASSERT_TRUE(r.clock.WaitsReach(1));
  r.clock.Advance(60);
  r.timer->SetInterval(100);
  EXPECT_TRUE(r.timer->Enabled());
  // A restarted interval would not end before 160.
  r.clock.Advance(40);
  ASSERT_TRUE(r.handOver.PostedReach(1));
  EXPECT_EQ(r.clock.Waits(), 1);
  r.handOver.RunPending();
  EXPECT_EQ(r.ticks, 1);
}

TEST(ThreadedTimer, ANewIntervalOrEnablingStartsAFullInterval) {
  TimerRig r;
  r.timer->SetInterval(100);
  r.timer->SetEnabled(true);
  ASSERT_TRUE(r.clock.WaitsReach(1));
  r.clock.Advance(60);
  r.timer->SetInterval(50);
  EXPECT_EQ(r.timer->Interval(), 50u);
  EXPECT_TRUE(r.timer->Enabled());
  // The signalled wait ends without a tick and a new one of 50 begins at 60.
  ASSERT_TRUE(r.clock.WaitsReach(2));
  r.clock.Advance(50);
  ASSERT_TRUE(r.handOver.PostedReach(1));
  r.handOver.RunPending();
  EXPECT_EQ(r.ticks, 1);

  // Disabled, the worker stops timing; a tick already handed over does
  // nothing when it runs.
  ASSERT_TRUE(r.clock.WaitsReach(3));
  r.clock.Advance(50);
  ASSERT_TRUE(r.handOver.PostedReach(2));
  r.timer->SetEnabled(false);
  r.handOver.RunPending();
  EXPECT_EQ(r.ticks, 1);
  EXPECT_FALSE(r.timer->WorkerRunning());

  const int waits = r.clock.Waits();
  r.timer->SetEnabled(true);
  ASSERT_TRUE(r.clock.WaitsReach(waits + 1));
  r.clock.Advance(50);
  ASSERT_TRUE(r.handOver.PostedReach(3));
  r.handOver.RunPending();
  EXPECT_EQ(r.ticks, 2);
}

TEST(ThreadedTimer, IntervalZeroTicksOnlyWhenAllowed) {
  TimerRig r;
  r.timer->SetInterval(0);
  r.timer->SetEnabled(true);
  EXPECT_TRUE(r.timer->Enabled());
  EXPECT_FALSE(r.timer->WorkerRunning());
  r.clock.Advance(10000);
  EXPECT_EQ(r.clock.Waits(), 0);
  EXPECT_EQ(r.handOver.Posted(), 0);
  // Enabled already reads true: only a change starts the worker.
  r.timer->SetAllowZero(true);
  r.timer->SetEnabled(false);
  r.timer->SetEnabled(true);
  EXPECT_TRUE(r.timer->WorkerRunning());
  // Zero ticks as fast as they are taken, with no time passing at all.
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(r.handOver.PostedReach(i));
    r.handOver.RunPending();
  }
  EXPECT_EQ(r.ticks, 3);
}

TEST(ThreadedTimer, AThrowingHandlerDoesNotStopLaterTicks) {
  TimerRig r;
  int calls = 0;
  r.timer->SetOnTimer([&](TSender) {
    if (++calls == 1) throw std::runtime_error("tick failed");
  });
  r.timer->SetInterval(10);
  r.timer->SetEnabled(true);
  for (int i = 1; i <= 2; ++i) {
    ASSERT_TRUE(r.clock.WaitsReach(i));
    r.clock.Advance(10);
    ASSERT_TRUE(r.handOver.PostedReach(i));
    EXPECT_NO_THROW(r.handOver.RunPending());
  }
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(r.timer->Enabled());
}

TEST(ThreadedTimer, DestroyingReturnsAfterTheWorkerEndedWhereverItWas) {
  {  // waiting for its interval
    TimerRig r;
    r.timer->SetInterval(10);
    r.timer->SetEnabled(true);
    ASSERT_TRUE(r.clock.WaitsReach(1));
    r.timer.reset();
    EXPECT_EQ(r.clock.Inside(), 0);
    r.clock.Advance(1000);
    EXPECT_EQ(r.handOver.Posted(), 0);
  }
  {  // waiting for a tick the UI thread has not run: no deadlock, and the
     // tick run afterwards calls nothing
    TimerRig r;
    r.timer->SetInterval(10);
    r.timer->SetEnabled(true);
    ASSERT_TRUE(r.clock.WaitsReach(1));
    r.clock.Advance(10);
    ASSERT_TRUE(r.handOver.PostedReach(1));
    r.timer.reset();
    EXPECT_EQ(r.handOver.RunPending(), 1);
    EXPECT_EQ(r.ticks, 0);
  }
  {  // destroyed by its own tick handler
    TimerRig r;
    r.timer->SetOnTimer([&](TSender) { r.timer.reset(); });
    r.timer->SetInterval(10);
    r.timer->SetEnabled(true);
    ASSERT_TRUE(r.clock.WaitsReach(1));
    r.clock.Advance(10);
    ASSERT_TRUE(r.handOver.PostedReach(1));
    r.handOver.RunPending();
    EXPECT_EQ(r.timer, nullptr);
    EXPECT_EQ(r.clock.Inside(), 0);
  }
  {  // never enabled: no worker at all
    TimerRig r;
    r.timer->SetThreadPriority(tpLower);
    EXPECT_EQ(r.timer->ThreadPriority(), tpLower);
    r.timer.reset();
    EXPECT_EQ(r.clock.Waits(), 0);
  }
}

}  // namespace
}  // namespace duduri
