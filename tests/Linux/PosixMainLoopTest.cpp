// The real main loop: task order, delays and cancelling, posts from other threads, watched file
// descriptors, and that an idle loop sleeps without timer wake-ups.
#include "Linux/PosixMainLoop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

namespace zelvorn {
namespace {

TEST(PosixMainLoop, RunsPostsInOrderThenDelayedTasksByDueTime) {
  PosixMainLoop loop;
  std::string trace;
  loop.postAfter(0.03, [&] { trace += "c"; });
  loop.postAfter(0.01, [&] { trace += "b"; });
  loop.post([&] { trace += "a1"; });
  loop.post([&] { trace += "a2"; });
  auto cancelled = loop.postAfter(0.02, [&] { trace += "x"; });
  cancelled.cancel();
  Seconds start = loop.now();
  loop.runUntil([&] { return trace.size() >= 6; }, 1.0);
  EXPECT_EQ(trace, "a1a2bc");
  EXPECT_GE(loop.now() - start, 0.03);
  EXPECT_FALSE(cancelled.isPending());
}

TEST(PosixMainLoop, RepeatingTimerTicksUntilInvalidated) {
  PosixMainLoop loop;
  int ticks = 0;
  TimerHandle timer;
  timer = loop.scheduleRepeating(0.005, [&] {
    if (++ticks == 3) timer.invalidate();
  });
  loop.runUntil([] { return false; }, 0.05);
  EXPECT_EQ(ticks, 3);
}

TEST(PosixMainLoop, IdleLoopSleepsUntilAnotherThreadPostsWithoutTimerWakeups) {
  PosixMainLoop loop;
  bool woke = false;
  std::thread other([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    loop.postFromAnyThread([&] {
      woke = true;
      loop.quit();
    });
  });
  Seconds start = loop.now();
  loop.run();
  other.join();
  EXPECT_TRUE(woke);
  EXPECT_GE(loop.now() - start, 0.14);
  EXPECT_EQ(loop.timeoutWakeups(), 0u);
  EXPECT_LE(loop.sleeps(), 2u);
}

TEST(PosixMainLoop, WatchedDescriptorWakesTheLoopUntilUnsubscribed) {
  PosixMainLoop loop;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  int reads = 0;
  auto watch = loop.watchReadable(fds[0], [&] {
    char c;
    if (read(fds[0], &c, 1) == 1) ++reads;
  });
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  loop.runUntil([&] { return reads == 1; }, 1.0);
  EXPECT_EQ(reads, 1);
  watch.reset();
  ASSERT_EQ(write(fds[1], "y", 1), 1);
  loop.runUntil([] { return false; }, 0.02);
  EXPECT_EQ(reads, 1);
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
}  // namespace zelvorn
