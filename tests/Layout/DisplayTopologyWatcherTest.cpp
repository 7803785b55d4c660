#include "Layout/DisplayTopologyWatcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Layout/DisplayTopology.h"
#include "Sim/SimDisplays.h"
#include "Sim/SimSystemEvents.h"
#include "Sim/VirtualMainLoop.h"

namespace zelvorn {
namespace {

using Fingerprint = DisplayTopologyWatcher::Fingerprint;

struct Change {
  Fingerprint previous, current;
  double at;
  bool operator==(const Change&) const = default;
};

class WatcherTest : public testing::Test {
 protected:
  WatcherTest() {
    displays.setScreens({laptop});
    loop.runUntilIdle();
  }

  void makeWatcher() {
    watcher = std::make_unique<DisplayTopologyWatcher>(
        loop, events, DisplayTopologyWatcher::screensReader(displays),
        [this](const Fingerprint& p, const Fingerprint& c) {
          changes.push_back({p, c, loop.now()});
        },
        [this] { ++settles; });
  }

  // Starts the watcher and lets its first settle record the baseline.
  void startSettled() {
    makeWatcher();
    watcher->start();
    loop.advance(1);
    ASSERT_TRUE(watcher->hasReported());
  }

  // Runs to absolute virtual time t.
  void runTo(double t) { loop.advance(t - loop.now()); }

  Fingerprint fp() const { return DisplayTopology::currentFingerprint(displays.screens()); }

  VirtualMainLoop loop;
  SimSystemEvents events{loop};
  SimDisplays displays{events};
  const ScreenInfo laptop = SimDisplays::makeScreen(1, {0, 0, 1512, 982});
  const ScreenInfo monitor = SimDisplays::makeScreen(2, {1512, 0, 2560, 1440});
  std::unique_ptr<DisplayTopologyWatcher> watcher;
  std::vector<Change> changes;
  int settles = 0;
};

TEST_F(WatcherTest, FirstSettleAfterStartOnlyRecords) {
  makeWatcher();
  const Fingerprint atStart = fp();
  watcher->start();
  EXPECT_EQ(watcher->lastReported(), atStart);
  EXPECT_FALSE(watcher->hasReported());
  // The set changes before the first settle: recorded as the baseline, not reported.
  runTo(0.3);
  displays.addScreen(monitor);
  runTo(5);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(settles, 0);
  EXPECT_TRUE(watcher->hasReported());
  EXPECT_EQ(watcher->lastReported(), fp());
  EXPECT_NE(watcher->lastReported(), atStart);
}

TEST_F(WatcherTest, ABurstOfScreenChangesGivesOneReportAfterItSettles) {
  startSettled();
  const Fingerprint before = fp();
  runTo(10);
  displays.addScreen(monitor);  // 10.0
  runTo(10.3);
  displays.resizeScreen(1, {1512, 0, 1920, 1080}, {1512, 0, 1920, 1055});
  runTo(10.6);
  displays.moveScreen(1, 0);  // last event: settles at 11.4
  runTo(11.39);
  EXPECT_TRUE(changes.empty());
  runTo(12);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].previous, before);
  EXPECT_EQ(changes[0].current, fp());
  EXPECT_NEAR(changes[0].at, 11.4, 1e-9);
  EXPECT_EQ(settles, 1);
  // Nothing more to report later.
  runTo(30);
  EXPECT_EQ(changes.size(), 1u);
}

TEST_F(WatcherTest, WakePushesTheSettleOutAndALaterScreenChangeCannotBringItForward) {
  startSettled();
  runTo(10);
  events.emit(SystemEvent::didWake);  // settles at 12.5
  runTo(11);
  displays.addScreen(monitor);  // would settle at 11.8 on its own
  runTo(12.49);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(settles, 0);
  runTo(13);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_NEAR(changes[0].at, 12.5, 1e-9);
  // A screen change near the end of a wake settle still pushes it out by its own 0.8 s.
  events.emit(SystemEvent::sessionDidBecomeActive);  // 13.0 → 15.5
  runTo(15.2);
  displays.removeScreen(1);  // 15.2 → 16.0
  runTo(15.9);
  EXPECT_EQ(changes.size(), 1u);
  runTo(16.1);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_NEAR(changes[1].at, 16.0, 1e-9);
}

TEST_F(WatcherTest, SettleWithoutChangeOnlyCallsOnSettled) {
  startSettled();
  events.emit(SystemEvent::screensDidWake);
  loop.advance(3);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(settles, 1);
}

TEST_F(WatcherTest, NoScreensToNoScreensIsNoChange) {
  displays.setScreens({});
  loop.runUntilIdle();
  startSettled();
  EXPECT_EQ(watcher->lastReported(), std::nullopt);
  displays.setScreens({});
  loop.advance(2);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(settles, 1);
  // And to some screens is a change from none.
  displays.setScreens({laptop});
  loop.advance(2);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].previous, std::nullopt);
  EXPECT_EQ(changes[0].current, fp());
}

TEST_F(WatcherTest, StopCancelsThePendingSettleAndDestructionIsSafe) {
  startSettled();
  displays.addScreen(monitor);
  loop.advance(0.1);
  watcher->stop();
  EXPECT_FALSE(watcher->isStarted());
  loop.advance(5);
  displays.removeScreen(1);
  loop.advance(5);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(settles, 0);

  // A watcher destroyed while a settle is pending leaves nothing behind that could fire.
  watcher->start();
  displays.addScreen(monitor);
  loop.advance(0.1);
  watcher.reset();
  loop.advance(5);
  EXPECT_TRUE(changes.empty());
}

TEST_F(WatcherTest, TheChangeHandlerMayDestroyTheWatcher) {
  int settledAfter = 0;
  watcher = std::make_unique<DisplayTopologyWatcher>(
      loop, events, DisplayTopologyWatcher::screensReader(displays),
      [this](const Fingerprint&, const Fingerprint&) { watcher.reset(); }, [&] { ++settledAfter; });
  watcher->start();
  loop.advance(1);
  displays.addScreen(monitor);
  loop.advance(1);
  EXPECT_EQ(watcher, nullptr);
  EXPECT_EQ(settledAfter, 0);
}

TEST_F(WatcherTest, StartTwiceRegistersOnce) {
  startSettled();
  watcher->start();
  displays.addScreen(monitor);
  loop.advance(2);
  EXPECT_EQ(changes.size(), 1u);
  EXPECT_EQ(settles, 1);
}

}  // namespace
}  // namespace zelvorn
