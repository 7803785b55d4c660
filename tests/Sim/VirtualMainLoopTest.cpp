#include "Sim/VirtualMainLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace zelvorn {
namespace {

TEST(VirtualMainLoop, RunsTasksByDueTimeThenPostingOrder) {
  VirtualMainLoop loop;
  std::string order;
  loop.postAfter(0.5, [&] { order += "c"; });
  loop.post([&] { order += "a"; });
  loop.postAfter(0.2, [&] { order += "b1"; });
  loop.postAfter(0.2, [&] { order += "b2"; });
  loop.advance(0.3);
  EXPECT_EQ(order, "ab1b2");
  EXPECT_DOUBLE_EQ(loop.now(), 0.3);
  loop.advance(1);
  EXPECT_EQ(order, "ab1b2c");
}

TEST(VirtualMainLoop, TaskSeesItsOwnDueTimeAndCanScheduleInsideTheWindow) {
  VirtualMainLoop loop;
  std::vector<double> times;
  loop.postAfter(0.1, [&] {
    times.push_back(loop.now());
    loop.postAfter(0.1, [&] { times.push_back(loop.now()); });
  });
  loop.advance(1);
  EXPECT_EQ(times, (std::vector<double>{0.1, 0.2}));
}

TEST(VirtualMainLoop, CancelledTaskNeverRunsAndHandleReportsState) {
  VirtualMainLoop loop;
  bool ran = false;
  TaskHandle h = loop.postAfter(1, [&] { ran = true; });
  EXPECT_TRUE(h.isPending());
  h.cancel();
  EXPECT_FALSE(h.isPending());
  loop.advance(2);
  EXPECT_FALSE(ran);
  TaskHandle done = loop.postAfter(0, [] {});
  loop.advance(0);
  EXPECT_FALSE(done.isPending());
  done.cancel();  // harmless after running
}

TEST(VirtualMainLoop, RepeatingTimerTicksUntilInvalidatedEvenFromItsOwnTick) {
  VirtualMainLoop loop;
  int ticks = 0;
  TimerHandle timer;
  timer = loop.scheduleRepeating(0.3, [&] {
    if (++ticks == 3) timer.invalidate();
  });
  loop.advance(10);
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer.isValid());
}

TEST(VirtualMainLoop, BlockMovesTimeWithoutRunningAndLateTasksRunAfterwards) {
  VirtualMainLoop loop;
  double ranAt = -1;
  loop.postAfter(0.2, [&] { ranAt = loop.now(); });
  loop.block(0.5);
  EXPECT_EQ(ranAt, -1);
  loop.advance(0);
  EXPECT_DOUBLE_EQ(ranAt, 0.5);  // ran late, at the time the main thread was free again
}

TEST(VirtualMainLoop, RunUntilIdleStopsAtItsLimitWhenATimerRepeats) {
  VirtualMainLoop loop;
  int ticks = 0;
  auto timer = loop.scheduleRepeating(1, [&] { ++ticks; });
  loop.runUntilIdle(5.5);
  EXPECT_EQ(ticks, 5);
}

TEST(VirtualMainLoop, PostFromAnotherThreadRunsOnTheLoop) {
  VirtualMainLoop loop;
  bool ran = false;
  std::thread t([&] { loop.postFromAnyThread([&] { ran = true; }); });
  t.join();
  EXPECT_FALSE(ran);
  loop.advance(0);
  EXPECT_TRUE(ran);
}

TEST(VirtualMainLoop, WallClockFollowsTheMonotonicClockAndCanBeSet) {
  VirtualMainLoop loop(WallTime{1000});
  loop.advance(2.5);
  EXPECT_DOUBLE_EQ(loop.wallNow().unixSeconds, 1002.5);
  loop.setWallNow(WallTime{5000});
  loop.advance(1);
  EXPECT_DOUBLE_EQ(loop.wallNow().unixSeconds, 5001);
}

}  // namespace
}  // namespace zelvorn
