#include "Core/WorkspaceCapture.h"

#include <gtest/gtest.h>

#include "Support/ShowWorld.h"

namespace zelvorn {
namespace {

struct WorkspaceCaptureTest : ::testing::Test {
  ShowWorld world;
  AXWindowController ax{world.desktop.accessibility(), world.desktop.windowList(),
                        world.desktop.displays()};
  WorkspaceCapture capture{ax, world.desktop.windowList(), world.desktop.runningApps(),
                           world.desktop.displays(), world.loop};

  std::vector<std::string> names(const std::vector<WorkspaceCapture::Candidate>& cs) {
    std::vector<std::string> out;
    for (const auto& c : cs)
      out.push_back(c.displayName);
    return out;
  }
};

TEST_F(WorkspaceCaptureTest, FrontWindowFixesTheDisplayAndOddWindowsAreSkippedWithReasons) {
  world.displays.addScreen(SimDisplays::makeScreen(2, {1512, 0, 1920, 1080}));
  world.installApp("Notes");
  world.installApp("Mail");
  world.installApp("Far");
  world.installApp("Panel");
  Pid panel = world.launchNow("Panel");
  world.desktop.openWindow(panel, SimWindowSpec::savePanel());
  Pid far = world.launchNow("Far");
  world.desktop.moveWindowByUser(world.desktop.windows(far)[0], {1700, 200, 800, 600});
  world.launchNow("Mail");
  world.launchNow("Notes");
  world.desktop.openWindow(world.desktop.runningApps().ownPid(), SimWindowSpec{});

  auto found = capture.candidates(4);
  EXPECT_EQ(names(found), (std::vector<std::string>{"Notes", "Mail", "Panel"}));
  EXPECT_EQ(found[0].frame, (AXRect{100, 100, 800, 600}));
  EXPECT_TRUE(world.logged(
      "[Zelvorn] Window scan skipped — Far: on another display than the front window; Panel: not "
      "manageable (role=AXWindow subrole=AXDialog size=600×400 id=save-panel)"));
}

TEST_F(WorkspaceCaptureTest, DistinctAppsAndNames) {
  world.installApp("Notes");
  world.installApp("Mail");
  world.launchNow("Mail");
  Pid notes = world.launchNow("Notes");
  world.desktop.openWindow(notes, SimWindowSpec{});
  world.desktop.openWindow(notes, SimWindowSpec{});
  auto two = capture.distinctFrontApps(2);
  EXPECT_EQ(names(two), (std::vector<std::string>{"Notes", "Mail"}));

  using V = std::vector<std::string>;
  EXPECT_EQ(WorkspaceCapture::suggestedName({}), "");
  EXPECT_EQ(WorkspaceCapture::suggestedName(V{"Mail"}), "Mail");
  EXPECT_EQ(WorkspaceCapture::suggestedName(V{"Mail", "Notes"}), "Mail + Notes");
  EXPECT_EQ(WorkspaceCapture::suggestedName(V{"A", "B", "C", "D"}), "A + B + 2 more");
}

TEST_F(WorkspaceCaptureTest, ASlowScanStopsAtItsBudget) {
  for (auto n : {"A", "B", "C"}) {
    world.installApp(n);
    world.desktop.setResponseTime(world.launchNow(n), 0.03);
  }
  // Each probe takes about a third of a second: the third starts past the 0.4 s budget.
  auto found = capture.candidates(3);
  EXPECT_EQ(names(found), (std::vector<std::string>{"C", "B"}));
  for (auto& l : world.lines())
    std::cerr << l << "\n";
  EXPECT_EQ(world.countLogged("[Zelvorn] Window scan AX probes ≥50ms — C 3"), 1);
  EXPECT_TRUE(world.logged("[Zelvorn] Window scan skipped — A: scan budget spent"));
}

TEST_F(WorkspaceCaptureTest, SeedingTurnsTheFrontAppsIntoWorkspaceApps) {
  world.installApp("Notes");
  world.installApp("Mail");
  world.launchNow("Mail");
  world.launchNow("Notes");
  auto apps = world.controller->seedAppsFromCurrentWindows(2);
  ASSERT_EQ(apps.size(), 2u);
  EXPECT_EQ(apps[0].bundleIdentifier, "com.example.notes");
  EXPECT_TRUE(world.logged("[Zelvorn] Builder seed from current windows: Notes + Mail (0 ms)"));

  world.desktop.setTrusted(false);
  EXPECT_TRUE(world.controller->seedAppsFromCurrentWindows(2).empty());
}

}  // namespace
}  // namespace zelvorn
