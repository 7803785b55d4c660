#include "Sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelvorn {
namespace {

SimAppSpec notes() {
  SimAppSpec app;
  app.bundlePath = "/Applications/Notes.app";
  app.bundleIdentifier = "com.example.notes";
  app.name = "Notes";
  app.windowsAtLaunch = {};
  return app;
}

struct Desk : testing::Test {
  VirtualMainLoop loop;
  SimDesktop desk{loop};
  IAccessibility& ax = desk.accessibility();

  Pid start(SimAppSpec desc = notes()) {
    auto id = *desc.bundleIdentifier;
    desk.install(std::move(desc));
    return desk.launch(id);
  }
  AXError writeSize(WindowNumber n, Size s) {
    return ax.setAttribute(desk.windowElement(n), "AXSize", s);
  }
  Size size(WindowNumber n) { return desk.window(n)->desc.frame.size(); }
};

TEST_F(Desk, SizeWritesClampToTheMinimumAndRoundDownToIncrements) {
  Pid pid = start();
  SimWindowSpec terminal;
  terminal.frame = {0, 0, 500, 400};
  terminal.minSize = {300, 200};
  terminal.resizeIncrements = {7, 10};
  terminal.resizeBase = {6, 4};
  auto w = desk.openWindow(pid, terminal);
  EXPECT_EQ(size(w), (Size{496, 394}));  // the initial frame obeys the increments too

  struct Case {
    Size asked, got;
  } cases[] = {
      {{100, 100}, {300, 204}},  // below the minimum: clamped, then up to the next step
      {{700, 500}, {699, 494}},  // rounds down to base + n × increment
      {{706, 504}, {706, 504}},  // already on a step
  };
  for (const auto& c : cases) {
    EXPECT_EQ(writeSize(w, c.asked), kAXErrorSuccess);
    EXPECT_EQ(size(w), c.got) << c.asked.width << "×" << c.asked.height;
  }
}

TEST_F(Desk, RefusingWindowsFailOrIgnoreTheirWrites) {
  Pid pid = start();
  SimWindowSpec fixed;
  fixed.frame = {10, 10, 400, 300};
  fixed.resize = SimRefusal::ignored;
  fixed.move = SimRefusal::fails;
  auto w = desk.openWindow(pid, fixed);
  EXPECT_EQ(writeSize(w, {800, 600}), kAXErrorSuccess);
  EXPECT_EQ(ax.setAttribute(desk.windowElement(w), "AXPosition", AXPoint{50, 50}),
            kAXErrorAttributeUnsupported);
  EXPECT_EQ(desk.window(w)->desc.frame, (AXRect{10, 10, 400, 300}));
}

TEST_F(Desk, AWindowThatMovesBackDoesSoAfterItsDelay) {
  Pid pid = start();
  SimWindowSpec stubborn;
  stubborn.frame = {0, 0, 400, 300};
  stubborn.movesBackAfter = 0.3;
  auto w = desk.openWindow(pid, stubborn);
  ASSERT_EQ(ax.setAttribute(desk.windowElement(w), "AXPosition", AXPoint{200, 100}), 0);
  ASSERT_EQ(writeSize(w, {600, 500}), 0);
  loop.advance(0.29);
  EXPECT_EQ(desk.window(w)->desc.frame, (AXRect{200, 100, 600, 500}));
  loop.advance(0.02);
  EXPECT_EQ(desk.window(w)->desc.frame, (AXRect{0, 0, 400, 300}));
}

TEST_F(Desk, ObserversHearOnlyRegisteredPairsInOrderOnTheLoop) {
  Pid pid = start();
  auto a = desk.openWindow(pid, {});
  auto b = desk.openWindow(pid, {});
  std::vector<std::string> heard;
  std::unique_ptr<IAXObserver> obs;
  ASSERT_EQ(ax.createObserver(
                pid,
                [&](const AXNotification& n) {
                  auto w = n.element == desk.windowElement(a) ? "a" : "other";
                  heard.push_back(n.name + " " + w);
                },
                obs),
            kAXErrorSuccess);
  auto ea = desk.windowElement(a);
  EXPECT_EQ(obs->add(ea, "AXWindowResized"), 0);
  EXPECT_EQ(obs->add(ea, "AXWindowMoved"), 0);
  EXPECT_EQ(obs->add(ea, "AXUIElementDestroyed"), 0);
  EXPECT_EQ(obs->add(ea, "AXWindowMoved"), kAXErrorNotificationAlreadyRegistered);
  EXPECT_EQ(obs->add(desk.applicationElement(pid), "AXWindowCreated"), 0);

  ax.setAttribute(ea, "AXPosition", AXPoint{5, 5});
  ax.setAttribute(ea, "AXSize", Size{300, 300});
  ax.setAttribute(desk.windowElement(b), "AXPosition", AXPoint{9, 9});  // not registered
  auto c = desk.openWindow(pid, {});
  desk.closeWindow(a);
  EXPECT_TRUE(heard.empty());  // nothing arrives synchronously
  loop.advance(0);
  EXPECT_EQ(heard, (std::vector<std::string>{"AXWindowMoved a", "AXWindowResized a",
                                             "AXWindowCreated other", "AXUIElementDestroyed a"}));
  (void)c;

  // Destroying the observer drops deliveries already queued.
  heard.clear();
  desk.moveWindowByUser(b, {1, 1, 500, 500});
  auto d = desk.openWindow(pid, {});
  (void)d;
  obs.reset();
  loop.advance(0);
  EXPECT_TRUE(heard.empty());
}

TEST_F(Desk, AClosedWindowsElementStaysComparableButReadsFail) {
  Pid pid = start();
  auto w = desk.openWindow(pid, {});
  AXElement e = desk.windowElement(w);
  AXValue v;
  ASSERT_EQ(ax.copyAttribute(e, "AXSize", v), kAXErrorSuccess);
  desk.closeWindow(w);
  EXPECT_EQ(ax.copyAttribute(e, "AXSize", v), kAXErrorInvalidUIElement);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(v));
  EXPECT_EQ(ax.setAttribute(e, "AXPosition", AXPoint{1, 1}), kAXErrorInvalidUIElement);
  EXPECT_EQ(ax.windowNumber(e), std::nullopt);
  EXPECT_EQ(ax.pidOf(e), pid);
  EXPECT_EQ(e, desk.windowElement(w));
  ASSERT_EQ(ax.copyAttribute(desk.applicationElement(pid), "AXWindows", v), 0);
  EXPECT_TRUE(std::get<std::vector<AXElement>>(v).empty());
}

TEST_F(Desk, AHungApplicationBlocksTheLoopForTheElementsTimeOut) {
  Pid pid = start();
  auto w = desk.openWindow(pid, {});
  desk.setHung(pid, true);
  AXElement app = desk.applicationElement(pid);
  AXValue v;
  Seconds t0 = loop.now();
  EXPECT_EQ(ax.copyAttribute(app, "AXWindows", v), kAXErrorCannotComplete);
  EXPECT_DOUBLE_EQ(loop.now() - t0, 6.0);  // the system default
  ax.setMessagingTimeout(app, 0.5f);
  t0 = loop.now();
  EXPECT_EQ(ax.copyAttribute(desk.windowElement(w), "AXTitle", v), kAXErrorCannotComplete);
  EXPECT_DOUBLE_EQ(loop.now() - t0, 0.5);  // window elements follow their application's
  desk.setTimeoutInheritedFromApplication(false);
  t0 = loop.now();
  EXPECT_EQ(ax.copyAttribute(desk.windowElement(w), "AXTitle", v), kAXErrorCannotComplete);
  EXPECT_DOUBLE_EQ(loop.now() - t0, 6.0);

  desk.setResponseTime(pid, 0.05);  // slow but answering
  t0 = loop.now();
  EXPECT_EQ(ax.copyAttribute(app, "AXWindows", v), kAXErrorSuccess);
  EXPECT_NEAR(loop.now() - t0, 0.05, 1e-12);
}

TEST_F(Desk, TrustCanBeRevokedAndGrantedAtRunTime) {
  Pid pid = start();
  auto w = desk.openWindow(pid, {});
  AXValue v;
  desk.setTrusted(false);
  EXPECT_FALSE(ax.isProcessTrusted());
  EXPECT_EQ(ax.copyAttribute(desk.windowElement(w), "AXTitle", v), kAXErrorAPIDisabled);
  desk.setGrantsTrustOnPrompt(true);
  EXPECT_TRUE(ax.requestTrustWithPrompt());
  EXPECT_EQ(desk.trustPrompts(), 1);
  EXPECT_EQ(ax.copyAttribute(desk.windowElement(w), "AXTitle", v), kAXErrorSuccess);
}

TEST_F(Desk, LaunchingTakesTheBundlesDelaysAndOpensDocumentsAsWindows) {
  SimAppSpec editor = notes();
  editor.launchDelay = 0.5;
  editor.windowDelay = 0.3;
  desk.install(editor);
  std::vector<std::string> events;
  auto sub = desk.systemEvents().onAppLaunched(
      [&](const RunningApp& a) { events.push_back("launched " + *a.localizedName); });
  std::optional<RunningApp> launched;
  desk.launchServices().openApplication("/Applications/Notes.app", {"/Users/me/My Notes.txt"},
                                        false, [&](Result<RunningApp> r) {
                                          ASSERT_TRUE(r.ok());
                                          launched = r.value();
                                        });
  loop.advance(0.49);
  EXPECT_FALSE(launched);
  loop.advance(0.01);
  ASSERT_TRUE(launched);
  EXPECT_EQ(launched->launchDate, WallTime{loop.wallNow()});
  EXPECT_TRUE(desk.windows(launched->pid).empty());
  loop.advance(0.3);
  EXPECT_EQ(events, std::vector<std::string>{"launched Notes"});
  auto ws = desk.windows(launched->pid);
  ASSERT_EQ(ws.size(), 1u);
  EXPECT_EQ(desk.window(ws[0])->desc.document, "file:///Users/me/My%20Notes.txt");
  EXPECT_EQ(desk.runningApps().withBundleIdentifier("com.example.notes").size(), 1u);

  // A second request while the first is still starting gets the same process.
  SimAppSpec slow = notes();
  slow.bundlePath = "/Applications/Slow.app";
  slow.bundleIdentifier = "com.example.slow";
  slow.launchDelay = 2;
  desk.install(slow);
  std::vector<Pid> answered;
  for (int i = 0; i < 2; ++i) {
    desk.launchServices().openApplication(
        "/Applications/Slow.app", {}, false,
        [&](Result<RunningApp> r) { answered.push_back(r.value().pid); });
    loop.advance(1);
  }
  ASSERT_EQ(answered.size(), 2u);
  EXPECT_EQ(answered[0], answered[1]);
  EXPECT_EQ(desk.runningApps().withBundleIdentifier("com.example.slow").size(), 1u);

  std::optional<Error> error;
  desk.launchServices().openApplication("/Applications/Gone.app", {}, false,
                                        [&](Result<RunningApp> r) { error = r.error(); });
  loop.advance(0);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->code, 4);
}

TEST_F(Desk, PressingNewWindowOpensOneAndTheWindowListFollowsTheStack) {
  SimAppSpec app = notes();
  app.menus = {{"File", {{"New Window", true, "n", 0, SimMenuAction::newWindow}}}};
  Pid pid = start(app);
  auto first = desk.openWindow(pid, {});
  AXElement item = desk.menuItemElement(pid, "File", "New Window");
  ASSERT_FALSE(item.isNull());
  EXPECT_EQ(ax.performAction(item, "AXPress"), kAXErrorSuccess);
  auto ws = desk.windows(pid);
  ASSERT_EQ(ws.size(), 2u);
  EXPECT_EQ(ws[1], first);  // the new one is in front

  desk.setMinimized(first, true);
  auto onScreen = desk.windowList().copyWindowList(WindowListOption::onScreenOnly |
                                                   WindowListOption::excludeDesktopElements);
  ASSERT_TRUE(onScreen);
  ASSERT_EQ(onScreen->size(), 1u);
  EXPECT_EQ((*onScreen)[0].number, ws[0]);
  EXPECT_EQ((*onScreen)[0].ownerName, "Notes");
  EXPECT_EQ(desk.windowList().copyWindowList(WindowListOption::excludeDesktopElements)->size(), 2u);
  desk.runningApps().hide(pid);
  EXPECT_TRUE(desk.windowList().copyWindowList(WindowListOption::onScreenOnly)->empty());
  EXPECT_EQ(desk.recorder().count(SimCallKind::windowList), 3u);
}

TEST_F(Desk, TerminateEndsTheProcessAfterItsDelayAndTellsSubscribers) {
  Pid pid = start();
  auto w = desk.openWindow(pid, {});
  std::vector<Pid> gone;
  auto sub =
      desk.systemEvents().onAppTerminated([&](const RunningApp& a) { gone.push_back(a.pid); });
  EXPECT_TRUE(desk.runningApps().terminate(pid));
  loop.advance(0.05);
  EXPECT_TRUE(desk.app(pid));
  loop.advance(0.1);
  EXPECT_FALSE(desk.app(pid));
  EXPECT_FALSE(desk.window(w)->alive);
  EXPECT_EQ(gone, std::vector<Pid>{pid});
}

}  // namespace
}  // namespace zelvorn

namespace zelvorn {
namespace {

TEST_F(Desk, FocusChangesAreHeardOnTheApplicationElementWithTheWindow) {
  Pid pid = start();
  auto a = desk.openWindow(pid, {});
  auto b = desk.openWindow(pid, {});
  std::vector<std::string> heard;
  std::unique_ptr<IAXObserver> obs;
  ASSERT_EQ(ax.createObserver(
                pid,
                [&](const AXNotification& n) {
                  heard.push_back(n.name + (n.element == desk.windowElement(a) ? " a" : " b"));
                },
                obs),
            0);
  for (auto name : {"AXFocusedWindowChanged", "AXMainWindowChanged", "AXWindowCreated"})
    ASSERT_EQ(obs->add(desk.applicationElement(pid), name), 0);
  ASSERT_EQ(ax.performAction(desk.windowElement(a), "AXRaise"), 0);
  desk.closeWindow(a);
  loop.advance(0);
  EXPECT_EQ(heard, (std::vector<std::string>{"AXFocusedWindowChanged a", "AXMainWindowChanged a",
                                             "AXFocusedWindowChanged b", "AXMainWindowChanged b"}));
  EXPECT_EQ(desk.stackingOrder(), std::vector<WindowNumber>{b});
}

TEST_F(Desk, ObserverFailuresCanBeInjectedPerProcess) {
  Pid pid = start();
  std::unique_ptr<IAXObserver> obs;
  desk.failObserverCreation(pid, kAXErrorCannotComplete, 1);
  EXPECT_EQ(ax.createObserver(
                pid, [](const AXNotification&) {}, obs),
            kAXErrorCannotComplete);
  EXPECT_FALSE(obs);
  ASSERT_EQ(ax.createObserver(
                pid, [](const AXNotification&) {}, obs),
            kAXErrorSuccess);
  desk.failObserverRegistration(pid, "AXWindowCreated", kAXErrorCannotComplete, 1);
  AXElement app = desk.applicationElement(pid);
  EXPECT_EQ(obs->add(app, "AXFocusedWindowChanged"), kAXErrorSuccess);
  EXPECT_EQ(obs->add(app, "AXWindowCreated"), kAXErrorCannotComplete);
  EXPECT_EQ(obs->add(app, "AXWindowCreated"), kAXErrorSuccess);
  EXPECT_EQ(desk.recorder().texts({SimCallKind::axObserver}),
            (std::vector<std::string>{
                "observer create", "observer create", "observer add AXFocusedWindowChanged",
                "observer add AXWindowCreated", "observer add AXWindowCreated"}));
}

TEST_F(Desk, RunningAppsListInLaunchOrderAndRequestsChangeTheDesktop) {
  Pid notesPid = start();
  SimAppSpec helper = notes();
  helper.bundlePath = "/Applications/Notes Helper.app";
  helper.activationPolicy = ActivationPolicy::accessory;
  helper.name = "Notes Helper";
  desk.install(helper);
  auto all = desk.runningApps().all();  // this program first, then in launch order
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].pid, desk.runningApps().ownPid());
  EXPECT_EQ(all[1].pid, notesPid);

  std::vector<Pid> activated;
  auto sub =
      desk.systemEvents().onAppActivated([&](const RunningApp& a) { activated.push_back(a.pid); });
  desk.ignoreUnhide(notesPid, 1);
  EXPECT_TRUE(desk.runningApps().hide(notesPid));
  EXPECT_TRUE(desk.app(notesPid)->isHidden);
  EXPECT_TRUE(desk.runningApps().unhide(notesPid));
  EXPECT_TRUE(desk.app(notesPid)->isHidden);  // accepted, no effect
  EXPECT_TRUE(desk.runningApps().unhide(notesPid));
  EXPECT_FALSE(desk.app(notesPid)->isHidden);
  EXPECT_TRUE(desk.runningApps().activate(notesPid, ActivateOptions::none));
  loop.advance(0);
  EXPECT_EQ(activated, std::vector<Pid>{notesPid});
  EXPECT_EQ(desk.runningApps().frontmost()->pid, notesPid);
  EXPECT_EQ(desk.recorder().texts({SimCallKind::app}),
            (std::vector<std::string>{"app all", "app hide", "app unhide", "app unhide",
                                      "app activate", "app frontmost"}));
}

TEST(SimDesktopDisk, BundlesFollowOnTheAttachedFileSystemAndBookmarksFollowMoves) {
  VirtualMainLoop loop;
  SimDesktop desk{loop};
  InMemoryFileSystem files;
  desk.install(notes());
  desk.attachFileSystem(files);
  EXPECT_TRUE(files.stat("/Applications/Notes.app").exists);
  auto bookmark = desk.launchServices().makeBookmark("/Applications/Notes.app");
  ASSERT_TRUE(bookmark);
  ASSERT_TRUE(desk.moveBundle("/Applications/Notes.app", "/Applications/Old/Notes.app"));
  EXPECT_FALSE(files.stat("/Applications/Notes.app").exists);
  EXPECT_TRUE(files.stat("/Applications/Old/Notes.app").exists);
  EXPECT_EQ(desk.launchServices().resolveBookmark(*bookmark), "/Applications/Old/Notes.app");
  EXPECT_EQ(desk.launchServices().applicationPath("com.example.notes"),
            "/Applications/Old/Notes.app");
  EXPECT_EQ(desk.launchServices().readBundle("/Applications/Old/Notes.app"),
            (BundleInfo{"com.example.notes", std::nullopt, "Notes"}));
  ASSERT_TRUE(desk.uninstall("/Applications/Old/Notes.app"));
  EXPECT_FALSE(files.stat("/Applications/Old/Notes.app").exists);
  EXPECT_EQ(desk.launchServices().resolveBookmark(*bookmark), "/Applications/Old/Notes.app");
  EXPECT_EQ(desk.launchServices().readBundle("/Applications/Old/Notes.app"), std::nullopt);
}

}  // namespace
}  // namespace zelvorn
