// Showing workspaces end to end on the simulated desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>

#include "Core/WindowPlacement.h"
#include "Support/ShowWorld.h"

namespace zelvorn {
namespace {

struct ShowTest : ::testing::Test {
  ShowWorld world;
  int shown = 0;
  std::function<void()> onShown = [this] { ++shown; };

  void show(const Workspace& w) { world.controller->showWorkspace(w.id, onShown); }
  std::size_t writes(std::string_view attribute) {
    return world.desktop.recorder().count(SimCallKind::axWrite, attribute);
  }
};

TEST_F(ShowTest, RunningAppsWithWindowsAreTiledAtOnce) {
  world.runApps({"Notes", "Mail"});
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Mail"});
  world.desktop.recorder().clear();

  show(w);

  EXPECT_EQ(shown, 1);
  auto* session = world.controller->session(w.id);
  ASSERT_NE(session, nullptr);
  // The main display's visible frame less 12 points all round.
  EXPECT_EQ(session->containerAXRect, (AXRect{12, 37, 1488, 933}));
  EXPECT_TRUE(session->chrome->isVisible());
  EXPECT_EQ(session->chrome->currentTitle, "Work");
  EXPECT_EQ(session->chrome->containerCocoaRect, (CocoaRect{12, 12, 1488, 933}));
  auto rects = world.paneRects(w.id);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(world.frameOfFirstWindow("Notes"), rects[0]);
  EXPECT_EQ(world.frameOfFirstWindow("Mail"), rects[1]);
  ASSERT_EQ(session->elements.size(), 2u);
  EXPECT_EQ(session->elements[0].appID, w.apps[0].id);
  // One `place` per window: minimized, size, position, size.
  EXPECT_EQ(writes("AXPosition"), 2u);
  EXPECT_EQ(writes("AXSize"), 4u);
  // Both windows are written before either is read back, so they move together.
  std::set<std::uint64_t> written;
  std::size_t lastWrite = 0, firstReadBack = SIZE_MAX, index = 0;
  for (const auto& c : world.desktop.recorder().calls()) {
    if (c.kind == SimCallKind::axWrite) {
      written.insert(c.element);
      lastWrite = index;
    } else if (c.kind == SimCallKind::axRead && c.name == "AXSize" && written.count(c.element)) {
      firstReadBack = std::min(firstReadBack, index);
    }
    ++index;
  }
  EXPECT_LT(lastWrite, firstReadBack) << "a window was read back before the last write";
  EXPECT_EQ(world.desktop.frontmostPid(), world.pidOf("Notes"));
  EXPECT_EQ(world.manager.activeWorkspaceID(), w.id);
  EXPECT_TRUE(world.logged("[Zelvorn] Show workspace requested: Work"));
  EXPECT_TRUE(world.logged("[Zelvorn] Show ‘Work’: frame up in 0 ms."));
  EXPECT_TRUE(world.logged("[Zelvorn] Show ‘Work’: tiled in 0 ms, 0 ms after the click."));
  world.loop.runUntilIdle();
  EXPECT_TRUE(world.modal.alerts().empty());
}

TEST_F(ShowTest, WrongAppCountIsRefusedWithItsAlert) {
  world.installApp("A");
  world.installApp("B");
  world.installApp("C");
  struct Case {
    LayoutType type;
    std::vector<std::string> apps;
    std::string message, informative;
  } cases[] = {
      {LayoutType::leftRightSplit,
       {},
       "“W” has no apps",
       "Add 2–4 apps to this workspace in Settings, then try again."},
      {LayoutType::grid2x2,
       {"A", "B", "C"},
       "“W” needs 4 apps",
       "The “2 × 2 Grid” layout tiles 4 apps. Open Settings to add or remove apps, or pick a "
       "different layout."},
      {LayoutType::topBottomSplit,
       {"A", "B", "C"},
       "“W” needs 2 apps",
       "The “Top / Bottom Split” layout tiles 2 apps. Open Settings to add or remove apps, or "
       "pick a different layout."},
  };
  for (const auto& c : cases) {
    world.modal.clear();
    auto w = world.addWorkspace("W", c.type, c.apps);
    show(w);
    ASSERT_EQ(world.modal.alerts().size(), 1u);
    EXPECT_EQ(world.modal.alerts()[0].messageText, c.message);
    EXPECT_EQ(world.modal.alerts()[0].informativeText, c.informative);
    EXPECT_EQ(world.modal.alerts()[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(world.controller->isShown(w.id));
    world.manager.deleteWorkspace(w.id);
  }
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(world.desktop.recorder().count(SimCallKind::launch, "openApplication"), 0u);

  // Main + Sidebar takes any count; an unknown id does nothing at all.
  auto single = world.addWorkspace("Solo", LayoutType::mainSidebar, {"A"});
  world.modal.clear();
  show(single);
  EXPECT_TRUE(world.controller->isShown(single.id));
  world.console.clear();
  world.controller->showWorkspace(Uuid::random());
  EXPECT_TRUE(world.lines().empty());
}

TEST_F(ShowTest, LaunchesMissingAppsOnceWithEveryPanesRememberedDocument) {
  world.installApp("Editor");
  world.installApp("Notes");
  world.launchNow("Notes");
  world.files.putFile("/Users/me/a.txt", "a");
  world.files.putFile("/Users/me/b.txt", "b");
  auto w = world.addWorkspace("Docs", LayoutType::mainSidebar, {"Editor", "Notes", "Editor"},
                              [](Workspace& w) {
                                w.apps[0].lastDocumentPath = "/Users/me/a.txt";
                                w.apps[2].lastDocumentPath = "/Users/me/b.txt";
                              });

  show(w);
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(
      world.logged("[Zelvorn] Editor: launching with 2 remembered document(s): a.txt, b.txt"));
  EXPECT_TRUE(world.logged("[Zelvorn] Show ‘Docs’: frame up in 0 ms, 1 app(s) still launching."));
  EXPECT_TRUE(world.controller->session(w.id)->chrome->isVisible());
  EXPECT_EQ(world.desktop.recorder().count(SimCallKind::launch, "openApplication"), 1u);
  auto& awaiting = world.controller->context().awaitingDocument;
  EXPECT_EQ(awaiting.at(w.apps[0].id), 30.0);

  world.loop.advance(0.5);  // the launch answers: the documents get 15 s from now
  EXPECT_EQ(awaiting.at(w.apps[2].id), 15.5);
  world.loop.runUntilIdle();
  Pid editor = world.pidOf("Editor");
  ASSERT_EQ(world.desktop.windows(editor).size(), 2u);
  EXPECT_EQ(world.controller->session(w.id)->elements.size(), 3u);
  auto rects = world.paneRects(w.id);
  std::set<std::pair<double, double>> origins;
  for (auto n : world.desktop.windows(editor))
    origins.insert({world.desktop.window(n)->desc.frame.x, world.desktop.window(n)->desc.frame.y});
  EXPECT_TRUE(origins.count({rects[0].x, rects[0].y}));
  EXPECT_TRUE(origins.count({rects[2].x, rects[2].y}));
  EXPECT_EQ(world.countLogged("[Zelvorn] Show ‘Docs’: tiled in"), 1);
  EXPECT_TRUE(world.modal.alerts().empty());
  EXPECT_EQ(world.desktop.frontmostPid(), editor) << "the primary app comes forward once tiled";
}

TEST_F(ShowTest, UnhidesAHiddenAppInsteadOfLaunchingIt) {
  world.installApp("Notes");
  world.installApp("Mail");
  world.launchNow("Notes");
  Pid mail = world.launchNow("Mail");
  world.desktop.runningApps().hide(mail);
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Mail"});
  world.controller->context().ledgers.rememberHiddenApps({"com.example.mail"});
  world.desktop.recorder().clear();

  show(w);
  world.loop.runUntilIdle();
  EXPECT_FALSE(world.desktop.app(mail)->isHidden);
  EXPECT_EQ(world.desktop.recorder().count(SimCallKind::launch, "openApplication"), 0u);
  EXPECT_TRUE(world.controller->context().ledgers.hiddenAppBundleIDs().empty());
  EXPECT_EQ(world.frameOfFirstWindow("Mail"), world.paneRects(w.id)[1]);
}

TEST_F(ShowTest, WithoutAccessibilityAppsLaunchButNothingIsTiled) {
  world.installApp("Notes");
  world.installApp("Mail");
  world.launchNow("Notes");
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Mail"});
  world.desktop.setTrusted(false);
  auto before = world.frameOfFirstWindow("Notes");

  show(w);
  world.loop.runUntilIdle();
  EXPECT_EQ(shown, 0);
  EXPECT_FALSE(world.controller->isShown(w.id));
  EXPECT_EQ(world.desktop.trustPrompts(), 1);
  EXPECT_NE(world.pidOf("Mail"), 0) << "missing apps are still launched";
  EXPECT_EQ(world.desktop.frontmostPid(), world.pidOf("Notes"));
  EXPECT_EQ(world.frameOfFirstWindow("Notes"), before);
  EXPECT_EQ(world.desktop.recorder().count(SimCallKind::axWrite), 0u);
  EXPECT_TRUE(world.logged(
      "[Zelvorn] Show: Accessibility not granted — apps launched, frame/tiling skipped."));
  EXPECT_EQ(world.countLogged("[Zelvorn][AX] ensureTrusted (not trusted): trusted=false"), 1);
}

TEST_F(ShowTest, MissingAndFailedAppsAreReportedTogether) {
  world.installApp("Notes");
  world.installApp("Broken", [](SimAppSpec& s) {
    s.launchError = Error{-10810, "The application could not be launched."};
  });
  world.installApp("Gone");
  auto w =
      world.addWorkspace("Trio", LayoutType::threeLeftTwoRightOne, {"Notes", "Broken", "Gone"});
  world.desktop.uninstall("/Applications/Gone.app");
  ASSERT_TRUE(world.files.removeFile("/Applications/Gone.app").ok());

  show(w);
  world.loop.runUntilIdle();
  ASSERT_GE(world.modal.alerts().size(), 1u);
  const auto& alert = world.modal.alerts()[0];
  EXPECT_EQ(alert.style, AlertStyle::warning);
  EXPECT_EQ(alert.messageText, "Some apps in “Trio” couldn't be shown");
  EXPECT_EQ(alert.informativeText,
            "Not installed: Gone\nZelvorn couldn't launch Broken: The application could not be "
            "launched.");
  ASSERT_EQ(world.modal.alerts().size(), 2u);
  EXPECT_EQ(world.modal.alerts()[1].messageText, "Some windows in “Trio” couldn’t be arranged");
  EXPECT_EQ(world.modal.alerts()[1].informativeText, "Broken isn’t running.\nGone isn’t running.");
}

TEST_F(ShowTest, ASlowAppIsTiledWhenItsWindowArrives) {
  world.installApp("Notes");
  world.installApp("Slow", [](SimAppSpec& s) { s.windowDelay = 2.0; });
  world.launchNow("Notes");
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Slow"});
  show(w);
  auto rects = world.paneRects(w.id);
  EXPECT_EQ(world.frameOfFirstWindow("Notes"), rects[0]) << "what is ready is tiled at once";

  world.loop.advance(1.0);
  EXPECT_EQ(world.countLogged("[Zelvorn] Show ‘Work’: tiled in"), 0);
  world.loop.advance(2.0);
  EXPECT_EQ(world.frameOfFirstWindow("Slow"), rects[1]);
  EXPECT_TRUE(world.logged("[Zelvorn] Show ‘Work’: tiled in 0 ms, 2600 ms after the click."));
  EXPECT_EQ(world.controller->session(w.id)->elements.size(), 2u);
}

TEST_F(ShowTest, PollingStopsAtItsBoundsAndTilesWhatExists) {
  world.installApp("Notes");
  world.installApp("Never", [](SimAppSpec& s) { s.launchDelay = 1000; });
  world.installApp("Empty", [](SimAppSpec& s) {
    s.windowsAtLaunch.clear();
    s.reopenOpensWindow = false;
  });
  world.launchNow("Notes");
  world.launchNow("Empty");

  // An app still launching: 75 polls, 15 seconds.
  auto launching = world.addWorkspace("L", LayoutType::leftRightSplit, {"Notes", "Never"});
  show(launching);
  world.loop.advance(14.9);
  EXPECT_EQ(world.countLogged("[Zelvorn] Show: "), 0);
  world.loop.advance(0.2);
  EXPECT_TRUE(
      world.logged("[Zelvorn] Show: 1/1 windows ready after ~15.0s with an app still "
                   "launching; tiling what's available."));
  EXPECT_EQ(world.countLogged("[Zelvorn] Show ‘L’: tiled in"), 1);
  world.controller->hideWorkspace(launching.id);

  // A running app without windows: 15 polls, 3 seconds.
  world.console.clear();
  auto windowless = world.addWorkspace("E", LayoutType::leftRightSplit, {"Notes", "Empty"});
  show(windowless);
  EXPECT_TRUE(world.logged(
      "[Zelvorn] Empty: running with no window — reopening it now instead of after the wait."));
  world.loop.advance(3.1);
  EXPECT_TRUE(
      world.logged("[Zelvorn] Show: 1/2 windows ready after ~3.0s; tiling what's available."));
  EXPECT_TRUE(world.logged(
      "[Zelvorn] Empty: running but no window yet — pane pending, will adopt on window appear."));
}

TEST_F(ShowTest, AHungAppCannotStretchTheWait) {
  world.installApp("Notes");
  world.installApp("Hung");
  world.launchNow("Notes");
  Pid hung = world.launchNow("Hung");
  world.desktop.setHung(hung, true);
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Hung"});
  show(w);
  world.loop.runUntilIdle(600);
  EXPECT_TRUE(
      world.logged("[Zelvorn] Show: 1/2 windows ready after ~3.0s; tiling what's available."));
  // Every poll is counted, however long the app held each one up.
  EXPECT_EQ(world.countLogged("[Zelvorn][AX] Hung: reading its windows took "), 16);
  EXPECT_EQ(world.countLogged("[Zelvorn] Show ‘Work’: tiled in"), 1);
}

TEST_F(ShowTest, ASecondShowStopsTheFirstPassAtItsNextPane) {
  world.installApp("A");
  world.installApp("B");
  world.installApp("C");
  for (auto n : {"A", "B", "C"})
    world.launchNow(n);
  auto w = world.addWorkspace("Three", LayoutType::threeLeftTwoRightOne, {"A", "B", "C"});
  bool again = true;
  world.accessibility.beforeWrite = [&](const AXElement&, std::string_view) {
    if (!again) return;
    again = false;
    world.controller->showWorkspace(w.id);
  };
  world.desktop.recorder().clear();
  show(w);
  // The first pass placed A and stopped; the second placed all three once.
  EXPECT_EQ(writes("AXPosition"), 4u);
  auto rects = world.paneRects(w.id);
  EXPECT_EQ(world.frameOfFirstWindow("B"), rects[1]);
  EXPECT_EQ(world.frameOfFirstWindow("C"), rects[2]);
  EXPECT_EQ(world.controller->session(w.id)->elements.size(), 3u)
      << "the stale pass leaves the newer pass's windows alone";
}

TEST_F(ShowTest, AMoveToAnotherDisplayTakesTwoSteps) {
  world.displays.addScreen(SimDisplays::makeScreen(2, {1512, 0, 1920, 1080}));
  world.installApp("Notes");
  world.installApp("Mail");
  Pid notes = world.launchNow("Notes");
  world.launchNow("Mail");
  auto window = world.desktop.windows(notes)[0];
  world.desktop.moveWindowByUser(window, {1700, 300, 800, 600});
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Mail"});
  world.desktop.recorder().clear();

  show(w);
  auto rects = world.paneRects(w.id);
  auto frame = *world.frameOfFirstWindow("Notes");
  EXPECT_EQ(frame.origin(), rects[0].origin()) << "first only the position";
  EXPECT_EQ(frame.size(), (Size{800, 600}));
  EXPECT_EQ(writes("AXPosition"), 2u);
  world.loop.advance(0.39);
  EXPECT_EQ(writes("AXPosition"), 2u);
  world.loop.advance(0.02);
  EXPECT_EQ(world.frameOfFirstWindow("Notes"), rects[0]);

  // A newer placement in between cancels the pending second move.
  world.desktop.moveWindowByUser(window, {1700, 300, 800, 600});
  auto element = world.desktop.windowElement(window);
  auto& placer = world.controller->placement();
  placer.placeWindow(element, rects[0], "Notes");
  EXPECT_TRUE(placer.hasPendingSecondPhase(element));
  world.desktop.moveWindowByUser(window, {20, 50, 700, 500});
  placer.placeWindow(element, rects[0], "Notes");
  EXPECT_FALSE(placer.hasPendingSecondPhase(element));
  world.desktop.recorder().clear();
  world.loop.advance(0.5);
  EXPECT_EQ(writes("AXPosition"), 0u);
}

TEST_F(ShowTest, ARefusedFrameIsLoggedOncePerDistinctFrame) {
  world.installApp("Notes");
  world.installApp("Stiff");
  world.launchNow("Notes");
  Pid stiff = world.launchNow("Stiff");
  auto window = world.desktop.windows(stiff)[0];
  world.desktop.updateWindow(window, [](SimWindowSpec& s) { s.resize = SimRefusal::fails; });
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Stiff"});
  show(w);
  auto rects = world.paneRects(w.id);
  std::string prefix = "[Zelvorn] Stiff refused its pane: asked x=759 y=40 w=738 h=927, window is ";
  EXPECT_EQ(world.countLogged(prefix), 1);
  EXPECT_TRUE(world.logged(prefix + "x=759 y=40 w=800 h=600. [id=— subrole=AXStandardWindow]"));

  auto& placer = world.controller->placement();
  placer.placeWindows(w, false, false);
  EXPECT_EQ(world.countLogged(prefix), 1) << "the same frame again is not logged";
  world.desktop.updateWindow(window, [](SimWindowSpec& s) { s.frame.width = 700; });
  placer.placeWindows(w, false, false);
  EXPECT_EQ(world.countLogged(prefix), 2);
  EXPECT_TRUE(world.modal.alerts().empty()) << "a refusal keeps the window and is no issue";
}

TEST_F(ShowTest, APaneUnder200PointsStopsThePass) {
  world.runApps({"Notes", "Mail"});
  // A 410-point container gives two 199-point rows.
  auto w =
      world.addWorkspace("Tiny", LayoutType::topBottomSplit, {"Notes", "Mail"}, [](Workspace& w) {
        w.lastContainerFrame = RectModel{100, 100, 600, 410};
      });
  auto before = world.frameOfFirstWindow("Notes");
  show(w);
  ASSERT_EQ(world.paneRects(w.id)[0].height, 199);
  EXPECT_EQ(world.frameOfFirstWindow("Notes"), before);
  ASSERT_EQ(world.modal.alerts().size(), 1u);
  EXPECT_EQ(world.modal.alerts()[0].messageText, "Workspace is too small for this layout");
  EXPECT_EQ(world.modal.alerts()[0].informativeText,
            "Resize the container or choose a simpler layout.");

  world.modal.clear();
  auto report = world.controller->placement().placeWindows(w, true, false);
  EXPECT_TRUE(report.issues.empty());
  EXPECT_TRUE(world.modal.alerts().empty());
  EXPECT_EQ(world.frameOfFirstWindow("Notes"), before);
}

}  // namespace
}  // namespace zelvorn

namespace zelvorn {
namespace {

TEST_F(ShowTest, AWorkspaceSharingAppsOnTheSameDisplayYields) {
  world.installApp("Notes");
  world.installApp("Mail");
  world.installApp("Chat");
  world.launchNow("Notes");
  Pid mail = world.launchNow("Mail");
  world.launchNow("Chat");
  auto first = world.addWorkspace("First", LayoutType::leftRightSplit, {"Notes", "Mail"});
  auto second = world.addWorkspace("Second", LayoutType::leftRightSplit, {"Notes", "Chat"});
  show(first);
  show(second);
  EXPECT_TRUE(world.logged(
      "[Zelvorn][shared] Show ‘Second’: same display, shares apps with ‘First’ → it yields and "
      "is put away."));
  EXPECT_FALSE(world.controller->isShown(first.id));
  EXPECT_TRUE(world.controller->isShown(second.id));
  EXPECT_TRUE(world.desktop.app(mail)->isHidden);
  EXPECT_FALSE(world.desktop.app(world.pidOf("Notes"))->isHidden) << "the shared app stays";
  EXPECT_TRUE(world.controller->context().sharing.yielding.empty());
  EXPECT_EQ(world.manager.activeWorkspaceID(), second.id);
}

TEST_F(ShowTest, AFrameOnAMissingDisplayIsMovedToTheCurrentOneAndSaved) {
  world.runApps({"Notes", "Mail"});
  auto w =
      world.addWorkspace("Away", LayoutType::leftRightSplit, {"Notes", "Mail"}, [](Workspace& w) {
        w.lastContainerFrame = RectModel{3000, 100, 1000, 700};
      });
  show(w);
  auto rect = *world.controller->session(w.id)->containerAXRect;
  EXPECT_EQ(rect, (AXRect{512, 100, 1000, 700}));
  EXPECT_EQ(world.countLogged("[Zelvorn] Show: offscreen / missing display — relocated to current "
                              "display. original=(3000,100 1000×700) resolved=(512,100 1000×700). "
                              "displays(AX): [screen0 visible=(0,25 1512×957)]"),
            1);
  auto saved = world.manager.workspace(w.id);
  EXPECT_EQ(saved->lastContainerFrame, RectModel::from(rect));
  ASSERT_TRUE(saved->topologyFrames);
  EXPECT_EQ(saved->topologyFrames->size(), 1u);
}

TEST_F(ShowTest, WorkLeftPendingDoesNothingOnceTheControllerIsGone) {
  world.installApp("Notes");
  world.installApp("Slow", [](SimAppSpec& s) { s.launchDelay = 1.0; });
  world.launchNow("Notes");
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Slow"});
  show(w);
  world.controller.reset();
  world.console.clear();
  world.loop.runUntilIdle();
  EXPECT_NE(world.pidOf("Slow"), 0);
  EXPECT_TRUE(world.lines().empty());
}

TEST_F(ShowTest, TheChromeLeadsBackToTheController) {
  world.installApp("Notes");
  world.installApp("Mail");
  world.launchNow("Notes");
  Pid mail = world.launchNow("Mail");
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Mail"});
  show(w);
  auto& chrome = *world.controller->session(w.id)->chrome;

  chrome.callbacks.onContainerChanged(AXRect{40, 60, 1200, 800});
  EXPECT_EQ(world.controller->session(w.id)->containerAXRect, (AXRect{40, 60, 1200, 800}));
  world.loop.advance(0.6);
  EXPECT_EQ(world.manager.workspace(w.id)->lastContainerFrame, (RectModel{40, 60, 1200, 800}));

  // The chrome's own menu hides the workspace: the chrome must outlive the call.
  chrome.callbacks.onHide();
  EXPECT_FALSE(world.controller->isShown(w.id));
  EXPECT_TRUE(world.desktop.app(mail)->isHidden);
  EXPECT_EQ(world.controller->context().ledgers.hiddenAppBundleIDs(),
            (std::set<std::string>{"com.example.mail", "com.example.notes"}));
  EXPECT_TRUE(world.logged("[Zelvorn] Hide workspace: Work"));
}

TEST_F(ShowTest, ARunningAppIsAskedToOpenTheDocumentsItNoLongerShows) {
  world.installApp("Editor");
  world.installApp("Notes");
  world.launchNow("Notes");
  Pid editor = world.launchNow("Editor");
  world.desktop.updateWindow(world.desktop.windows(editor)[0],
                             [](SimWindowSpec& s) { s.document = "file:///Users/me/a.txt"; });
  world.files.putFile("/Users/me/a.txt", "a");
  world.files.putFile("/Users/me/b.txt", "b");
  auto w = world.addWorkspace("Docs", LayoutType::threeTopTwoBottomOne,
                              {"Editor", "Notes", "Editor"}, [](Workspace& w) {
                                w.apps[0].lastDocumentPath = "/Users/me/a.txt";
                                w.apps[2].lastDocumentPath = "/Users/me/b.txt";
                              });
  show(w);
  EXPECT_TRUE(world.logged(
      "[Zelvorn] Editor is running without 1 remembered document(s) — opening: b.txt"));
  EXPECT_TRUE(world.logged("[Zelvorn] Show ‘Docs’: frame up in 0 ms, 1 app(s) still launching."));
  EXPECT_EQ(world.controller->context().awaitingDocument.at(w.apps[2].id), 10.0);
  EXPECT_FALSE(world.controller->context().awaitingDocument.count(w.apps[0].id));
  world.loop.runUntilIdle();
  EXPECT_EQ(world.desktop.windows(editor).size(), 2u);
}

TEST_F(ShowTest, WindowsThatCannotBeArrangedAreReportedAfterTiling) {
  world.installApp("Notes");
  world.installApp("Fixed");
  world.launchNow("Notes");
  Pid fixed = world.launchNow("Fixed");
  world.desktop.updateWindow(world.desktop.windows(fixed)[0],
                             [](SimWindowSpec& s) { s.move = SimRefusal::fails; });
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Fixed"});
  show(w);
  ASSERT_EQ(world.modal.alerts().size(), 1u);
  EXPECT_EQ(world.modal.alerts()[0].style, AlertStyle::warning);
  EXPECT_EQ(world.modal.alerts()[0].messageText, "Some windows in “Work” couldn’t be arranged");
  EXPECT_EQ(world.modal.alerts()[0].informativeText,
            "Zelvorn couldn’t move Fixed’s window. Some apps restrict window control.");
  EXPECT_EQ(world.modal.activations(), 1);
  // The window is kept in its pane all the same.
  EXPECT_EQ(world.controller->session(w.id)->elements.size(), 2u);
}

TEST_F(ShowTest, AnAppShowingOnlyADocumentChooserCountsAsReady) {
  world.installApp("Notes");
  world.installApp("Picker",
                   [](SimAppSpec& s) { s.windowsAtLaunch = {SimWindowSpec::openPanel()}; });
  world.launchNow("Notes");
  Pid picker = world.launchNow("Picker");
  auto w = world.addWorkspace("Work", LayoutType::leftRightSplit, {"Notes", "Picker"});
  show(w);
  // Tiled on the first poll: the chooser is the user's to answer, not a reason to wait.
  EXPECT_EQ(world.countLogged("[Zelvorn] Show ‘Work’: tiled in"), 1);
  auto& chrome = *world.controller->session(w.id)->chrome;
  EXPECT_TRUE(chrome.paneShieldsHidden);
  EXPECT_TRUE(chrome.dividersHidden);
  EXPECT_EQ(world.controller->context().ownChooserWindowIDs.at(w.id),
            std::set<WindowNumber>{world.desktop.windows(picker)[0]});
  EXPECT_TRUE(world.logged(
      "[Zelvorn] Picker: running but no window yet — pane pending, will adopt on window appear."));
  EXPECT_EQ(world.controller->session(w.id)->elements.size(), 1u);
}

}  // namespace
}  // namespace zelvorn
