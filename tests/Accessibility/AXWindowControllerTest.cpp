#include "Accessibility/AXWindowController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "Sim/SimDesktop.h"
#include "Support/CapturingConsole.h"

namespace zelvorn {
namespace {

using WindowInfo = AXWindowController::WindowInfo;
using Facts = AXWindowController::MenuItemFacts;

WindowInfo info(std::optional<std::string> role, std::optional<std::string> subrole,
                std::optional<Size> size, std::optional<std::string> identifier = std::nullopt) {
  WindowInfo w;
  w.role = std::move(role);
  w.subrole = std::move(subrole);
  w.size = size;
  w.identifier = std::move(identifier);
  return w;
}

TEST(AXWindowRules, ManageableWindows) {
  using S = std::optional<std::string>;
  const S none;
  struct Case {
    const char* what;
    WindowInfo w;
    bool manageable;
  } cases[] = {
      {"standard window", info("AXWindow", "AXStandardWindow", Size{800, 600}), true},
      {"no role, no subrole, 60×60", info(none, none, Size{60, 60}), true},
      {"size unreadable", info("AXWindow", "AXStandardWindow", std::nullopt), true},
      {"exactly 50×50", info("AXWindow", "AXStandardWindow", Size{50, 50}), true},
      {"dialog subrole", info("AXWindow", "AXDialog", Size{800, 600}), false},
      {"floating subrole", info("AXWindow", "AXFloatingWindow", Size{800, 600}), false},
      {"sheet role", info("AXSheet", none, Size{800, 600}), false},
      {"49×400", info("AXWindow", "AXStandardWindow", Size{49, 400}), false},
      {"400×49", info("AXWindow", "AXStandardWindow", Size{400, 49}), false},
      {"open panel", info("AXWindow", "AXStandardWindow", Size{800, 600}, "open-panel"), false},
      {"save panel", info(none, none, std::nullopt, "save-panel"), false},
      {"other identifier", info("AXWindow", "AXStandardWindow", Size{800, 600}, "main"), true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AXWindowController::isManageable(c.w), c.manageable) << c.what;
}

TEST(AXWindowRules, SelectBindableIndex) {
  struct Case {
    std::vector<bool> isMain;
    std::set<std::size_t> claimed;
    std::optional<std::size_t> expected;
  } cases[] = {
      {{false, true, true}, {1}, 2}, {{false, true, true}, {0, 1, 2}, std::nullopt},
      {{}, {}, std::nullopt},        {{false, false}, {}, 0},
      {{false, false}, {0}, 1},      {{false, true}, {}, 1},
      {{true, false}, {0}, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AXWindowController::selectBindableIndex(c.isMain, c.claimed), c.expected);
}

TEST(AXWindowRules, SelectPendingDialog) {
  auto panel = info("AXWindow", "AXDialog", Size{700, 450}, "open-panel");
  panel.title = "panel";
  auto standard = info("AXWindow", "AXStandardWindow", Size{800, 600});
  auto minimizedStandard = standard;
  minimizedStandard.isMinimized = true;
  auto mainDialog = info("AXWindow", "AXDialog", Size{30, 30});
  mainDialog.isMain = true;
  mainDialog.title = "main";
  auto tiny = info("AXWindow", "AXDialog", Size{40, 40});
  auto big = info("AXWindow", "AXDialog", Size{50, 50});
  big.title = "big";
  auto unsized = info("AXWindow", "AXDialog", std::nullopt);

  struct Case {
    const char* what;
    std::vector<WindowInfo> windows;
    std::optional<std::string> title;  // of the answer; none: no dialog
  } cases[] = {
      {"a standard window beside the panel", {panel, standard}, std::nullopt},
      {"only the panel (the standard one is minimized)", {minimizedStandard, panel}, "panel"},
      {"panel wins over main", {mainDialog, panel}, "panel"},
      {"main dialog", {tiny, mainDialog}, "main"},
      {"40×40 only: too small", {tiny}, std::nullopt},
      {"first of at least 2500 square points", {tiny, unsized, big}, "big"},
      {"nothing at all", {}, std::nullopt},
  };
  for (const auto& c : cases) {
    auto found = AXWindowController::selectPendingDialog(c.windows);
    if (!c.title) {
      EXPECT_FALSE(found) << c.what;
    } else {
      ASSERT_TRUE(found) << c.what;
      EXPECT_EQ(found->title, c.title) << c.what;
    }
  }
}

TEST(AXWindowRules, PickNewWindowCommand) {
  using Pick = AXWindowController::NewWindowPick;
  struct Case {
    const char* what;
    std::vector<Facts> items;
    std::optional<Pick> expected;
  } cases[] = {
      {"New Tab on ⌘N, New Window on ⌘⇧N",
       {{"New Tab", true, true}, {"New Window", true, false}},
       Pick{1, true}},
      {"New Private Window and New Document on ⌘N",
       {{"New Private Window", true, false}, {"New Document", true, true}},
       Pick{1, false}},
      {"disabled New Window is never chosen",
       {{"New Window", false, true}, {"Open…", true, false}},
       std::nullopt},
      {"a later match on ⌘N replaces an earlier one without",
       {{"New Window", true, false}, {"New Viewer Window", true, true}},
       Pick{1, true}},
      {"the first match stays when both are on ⌘N",
       {{"New Window", true, true}, {"New Other Window", true, true}},
       Pick{0, true}},
      {"incognito and tab windows are not window commands",
       {{"New Incognito Window", true, false}, {"New Window with Tab", true, false}},
       std::nullopt},
      {"case does not matter", {{"NEW WINDOW", true, false}}, Pick{0, true}},
      {"must begin with new", {{"Open New Window", true, false}}, std::nullopt},
      {"shortcut fallback skips disabled items",
       {{"New Thing", false, true}, {"New Sketch", true, true}},
       Pick{1, false}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AXWindowController::pickNewWindowCommand(c.items), c.expected) << c.what;
}

TEST(AXWindowRules, MatchesIsInclusiveOfItsTolerance) {
  AXRect target{100, 100, 800, 600};
  EXPECT_TRUE(AXWindowController::matches({105, 100, 800, 603}, target, 8));
  EXPECT_TRUE(AXWindowController::matches({108, 92, 808, 592}, target, 8));
  EXPECT_FALSE(AXWindowController::matches({108.5, 100, 800, 600}, target, 8));
  EXPECT_FALSE(AXWindowController::matches({100, 100, 800, 591}, target, 8));
}

TEST(AXWindowRules, StandardizedFilePath) {
  struct Case {
    const char* url;
    std::optional<std::string> path;
  } cases[] = {
      {"file:///Users/me/My%20Notes.txt", "/Users/me/My Notes.txt"},
      {"file://localhost/a/b.txt", "/a/b.txt"},
      {"FILE:///a/./b/../c.txt", "/a/c.txt"},
      {"file:///a/b/", "/a/b"},
      {"file:///a//b.txt?x=1#frag", "/a/b.txt"},
      {"file:///caf%C3%A9.txt", "/café.txt"},
      {"file://server/a.txt", std::nullopt},
      {"https://example.com/a.txt", std::nullopt},
      {"file:///bad%2", std::nullopt},
      {"file:///nul%00byte", std::nullopt},
      {"not a url", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(standardizedFilePath(c.url), c.path) << c.url;
}

// --- On the simulated desktop ---

struct AXController : testing::Test {
  VirtualMainLoop loop;
  SimDesktop desk{loop};
  AXWindowController ax{desk.accessibility(), desk.windowList(), desk.displays()};
  CapturingConsole console;
  Pid pid = 0;

  void SetUp() override {
    SimAppSpec app;
    app.bundlePath = "/Applications/Editor.app";
    app.bundleIdentifier = "com.example.editor";
    app.name = "Editor";
    app.windowsAtLaunch = {};
    desk.install(app);
    pid = desk.launch("com.example.editor");
  }

  WindowNumber open(SimWindowSpec desc = {}) { return desk.openWindow(pid, std::move(desc)); }
  std::vector<std::string> calls() {
    return desk.recorder().texts(
        {SimCallKind::axRead, SimCallKind::axWrite, SimCallKind::axAction, SimCallKind::axTimeout});
  }
};

TEST_F(AXController, ReadersTreatFailuresAndWrongTypesAsEmpty) {
  auto w = open();
  AXElement e = desk.windowElement(w);
  desk.overrideAttribute(w, "AXTitle", kAXErrorSuccess, std::int64_t{7});
  desk.overrideAttribute(w, "AXPosition", kAXErrorSuccess, Size{1, 2});
  desk.overrideAttribute(w, "AXSize", kAXErrorSuccess, AXPoint{1, 2});
  desk.overrideAttribute(w, "AXMinimized", kAXErrorSuccess, std::int64_t{1});
  desk.overrideAttribute(w, "AXSubrole", kAXErrorCannotComplete, std::string("AXDialog"));
  EXPECT_EQ(ax.string(e, "AXTitle"), std::nullopt);
  EXPECT_EQ(ax.point(e, "AXPosition"), std::nullopt);
  EXPECT_EQ(ax.sizeValue(e, "AXSize"), std::nullopt);
  EXPECT_FALSE(ax.boolValue(e, "AXMinimized"));
  EXPECT_EQ(ax.string(e, "AXSubrole"), std::nullopt);
  EXPECT_EQ(ax.string(e, "AXNoSuchAttribute"), std::nullopt);
  EXPECT_EQ(ax.string(e, "AXRole"), "AXWindow");
  // Values that are not numbers are no reading either.
  desk.overrideAttribute(w, "AXPosition", kAXErrorSuccess, AXPoint{std::nan(""), 2});
  desk.overrideAttribute(w, "AXSize", kAXErrorSuccess,
                         Size{std::numeric_limits<double>::infinity(), 2});
  EXPECT_EQ(ax.point(e, "AXPosition"), std::nullopt);
  EXPECT_EQ(ax.sizeValue(e, "AXSize"), std::nullopt);

  auto infos = ax.windowInfos(pid);
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_EQ(infos[0].title, std::nullopt);
  EXPECT_EQ(infos[0].subrole, std::nullopt);
  EXPECT_EQ(infos[0].size, std::nullopt);
  EXPECT_TRUE(
      AXWindowController::isManageable(infos[0]));  // unknown subrole and size count as fine
}

TEST_F(AXController, WindowInfosReadEveryAttributeOnceInOrder) {
  SimWindowSpec doc;
  doc.title = "Report";
  doc.frame = {10, 20, 640, 480};
  doc.identifier = "doc-1";
  auto back = open(doc);
  SimWindowSpec panel = SimWindowSpec::savePanel();
  auto front = open(panel);
  desk.updateWindow(front, [](SimWindowSpec& s) { s.fullScreen = true; });
  desk.recorder().clear();

  auto infos = ax.windowInfos(pid);
  ASSERT_EQ(infos.size(), 2u);
  EXPECT_EQ(infos[0].element, desk.windowElement(front));
  EXPECT_EQ(infos[0].identifier, "save-panel");
  EXPECT_TRUE(infos[0].isMain);
  EXPECT_TRUE(infos[0].isFullScreen);
  WindowInfo expected{desk.windowElement(back),
                      "Report",
                      "AXWindow",
                      "AXStandardWindow",
                      AXPoint{10, 20},
                      Size{640, 480},
                      false,
                      false,
                      false,
                      "doc-1"};
  EXPECT_EQ(infos[1], expected);

  std::vector<std::string> perWindow = {
      "read AXTitle",     "read AXRole", "read AXSubrole",    "read AXPosition",  "read AXSize",
      "read AXMinimized", "read AXMain", "read AXFullScreen", "read AXIdentifier"};
  std::vector<std::string> expectedCalls = {"read AXWindows"};
  for (int i = 0; i < 2; ++i)
    expectedCalls.insert(expectedCalls.end(), perWindow.begin(), perWindow.end());
  EXPECT_EQ(calls(), expectedCalls);

  auto manageable = ax.manageableWindows(pid);
  ASSERT_EQ(manageable.size(), 1u);
  EXPECT_EQ(manageable[0].element, desk.windowElement(back));
  EXPECT_EQ(ax.mainWindow(pid)->element, desk.windowElement(back));  // the panel is not manageable
  EXPECT_EQ(ax.focusedWindow(pid), desk.windowElement(front));
  EXPECT_EQ(ax.windowKind(desk.windowElement(front)), "id=save-panel subrole=AXDialog");
  EXPECT_EQ(ax.windowKind(desk.windowElement(back)), "id=doc-1 subrole=AXStandardWindow");
  desk.updateWindow(back, [](SimWindowSpec& s) {
    s.identifier.reset();
    s.subrole.reset();
  });
  EXPECT_EQ(ax.windowKind(desk.windowElement(back)), "id=— subrole=—");
}

TEST_F(AXController, AHungApplicationCostsExactlyTheTimeOutAndTheTimeOutIsRestored) {
  open();
  open();
  desk.setHung(pid, true);
  desk.recorder().clear();
  Seconds t0 = loop.now();
  EXPECT_TRUE(ax.windowInfos(pid, 0.5f).empty());
  EXPECT_DOUBLE_EQ(loop.now() - t0, 0.5);
  EXPECT_EQ(calls(), (std::vector<std::string>{"timeout 0.5", "read AXWindows", "timeout 0"}));

  // Afterwards the application element is back on the system default.
  t0 = loop.now();
  ax.windowInfos(pid);
  EXPECT_DOUBLE_EQ(loop.now() - t0, 6.0);
}

TEST_F(AXController, AnAnsweringApplicationReadsInFullUnderATimeOut) {
  open();
  desk.setResponseTime(pid, 0.01);
  Seconds t0 = loop.now();
  EXPECT_EQ(ax.windowInfos(pid, 0.2f).size(), 1u);
  EXPECT_NEAR(loop.now() - t0, 0.01 * 10, 1e-9);  // one list read and nine attribute reads

  // A probe with the capture scan's 0.2 s lands on round virtual time.
  desk.setHung(pid, true);
  t0 = loop.now();
  EXPECT_TRUE(ax.windowInfos(pid, 0.2f).empty());
  EXPECT_EQ(loop.now() - t0, 0.2);
}

struct PlaceCase {
  const char* what;
  SimWindowSpec window;
  AXRect target;
  AXWindowController::PlacementOutcome outcome;
  std::vector<std::string> calls;
};

TEST_F(AXController, PlaceOutcomesAndTheirCalls) {
  const AXRect target{40, 30, 700, 500};
  const std::vector<std::string> fourWrites = {"write AXMinimized false", "write AXSize 700×500",
                                               "write AXPosition (40,30)", "write AXSize 700×500"};
  auto with = [&](std::vector<std::string> more) {
    auto all = fourWrites;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  const std::vector<std::string> readBack = {"read AXPosition", "read AXSize"};

  SimWindowSpec plain;
  SimWindowSpec stepped;  // height rounds down to a 6-point step: 3 short
  stepped.resizeIncrements = {1, 6};
  stepped.resizeBase = {0, 5};
  SimWindowSpec busy;  // ignores the first move, takes the second
  busy.ignoresNextMoves = 1;
  SimWindowSpec stuck;  // ignores both moves
  stuck.ignoresNextMoves = 2;
  stuck.frame = {200, 200, 300, 300};
  SimWindowSpec fixedSize;
  fixedSize.resize = SimRefusal::ignored;
  fixedSize.frame = {0, 0, 400, 300};
  SimWindowSpec unsizable;
  unsizable.resize = SimRefusal::fails;
  unsizable.frame = {0, 0, 400, 300};
  SimWindowSpec large;
  large.minSize = {900, 520};
  SimWindowSpec immovable;
  immovable.move = SimRefusal::fails;
  SimWindowSpec minimized;
  minimized.minimized = true;

  using C = AXWindowController;
  PlaceCase cases[] = {
      {"plain window", plain, target, C::Placed{}, with(readBack)},
      {"3 points short in height is within tolerance", stepped, target, C::Placed{},
       with(readBack)},
      {"only the origin was off: one more move", busy, target, C::Placed{},
       with({"read AXPosition", "read AXSize", "write AXPosition (40,30)", "read AXPosition",
             "read AXSize"})},
      {"origin still off after the second move", stuck, target, C::Refused{{200, 200, 700, 500}},
       with({"read AXPosition", "read AXSize", "write AXPosition (40,30)", "read AXPosition",
             "read AXSize"})},
      {"size ignored", fixedSize, target, C::Refused{{40, 30, 400, 300}}, with(readBack)},
      {"size writes fail: no second move", unsizable, target, C::Refused{{40, 30, 400, 300}},
       with(readBack)},
      {"minimum size larger than the pane", large, target, C::Refused{{40, 30, 900, 520}},
       with(readBack)},
      {"position write fails", immovable, target, C::Failed{}, fourWrites},
      {"minimized window comes back", minimized, target, C::Placed{}, with(readBack)},
  };
  for (const auto& c : cases) {
    auto w = open(c.window);
    desk.recorder().clear();
    EXPECT_EQ(ax.place(desk.windowElement(w), c.target), c.outcome) << c.what;
    EXPECT_EQ(calls(), c.calls) << c.what;
    desk.closeWindow(w);
  }
}

TEST_F(AXController, PlaceOnAWindowWhoseFrameCannotBeReadCountsAsPlaced) {
  SimWindowSpec fixedSize;
  fixedSize.resize = SimRefusal::ignored;
  auto w = open(fixedSize);
  desk.overrideAttribute(w, "AXSize", kAXErrorCannotComplete);
  EXPECT_EQ(ax.place(desk.windowElement(w), {0, 0, 300, 300}),
            AXWindowController::PlacementOutcome{AXWindowController::Placed{}});
  // A closed window: every write fails, so the position write does too.
  desk.closeWindow(w);
  EXPECT_EQ(ax.place(desk.windowElement(w), {0, 0, 300, 300}),
            AXWindowController::PlacementOutcome{AXWindowController::Failed{}});
}

TEST_F(AXController, PlaceLeavesTheWindowWhereAsked) {
  auto w = open();
  ax.place(desk.windowElement(w), {12, 34, 560, 780});
  EXPECT_EQ(desk.window(w)->desc.frame, (AXRect{12, 34, 560, 780}));
  EXPECT_FALSE(desk.window(w)->desc.minimized);
}

SimMenuItem item(std::string title, bool enabled, std::optional<std::string> key,
                 std::optional<std::int64_t> modifiers,
                 SimMenuAction action = SimMenuAction::none) {
  return SimMenuItem{std::move(title), enabled, std::move(key), modifiers, action};
}

struct MenuCase {
  const char* what;
  std::vector<SimMenu> menus;
  std::optional<std::string> chosen;  // displayName()
  bool isWindowCommand = false;
};

TEST(AXMenuSearch, FindsTheNewWindowCommandThroughTheMenuBar) {
  const std::int64_t shift = 1;
  SimMenuItem untitled;  // a separator: no text title
  untitled.title.reset();
  MenuCase cases[] = {
      {"New Tab on ⌘N and New Window on ⌘⇧N",
       {{"Safari", {item("About", true, std::nullopt, std::nullopt)}},
        {"File", {item("New Tab", true, "n", 0), item("New Window", true, "N", shift), untitled}}},
       "File ▸ New Window",
       true},
      {"New Private Window and New Document on ⌘N",
       {{"File",
         {item("New Private Window", true, "n", shift), item("New Document", true, "n", 0)}}},
       "File ▸ New Document",
       false},
      {"a disabled New Window is never chosen",
       {{"File", {item("New Window", false, "n", 0)}}},
       std::nullopt},
      {"an upper-case N on Command alone counts",
       {{"Shell", {item("New Sketch", true, "N", 0)}}},
       "Shell ▸ New Sketch",
       false},
      {"no menus at all", {}, std::nullopt},
  };
  for (const auto& c : cases) {
    VirtualMainLoop loop;
    SimDesktop desk{loop};
    SimAppSpec app;
    app.bundlePath = "/Applications/App.app";
    app.bundleIdentifier = "com.example.app";
    app.menus = c.menus;
    desk.install(app);
    Pid pid = desk.launch("com.example.app");
    AXWindowController ax{desk.accessibility(), desk.windowList(), desk.displays()};
    auto found = ax.newWindowMenuItem(pid);
    if (!c.chosen) {
      EXPECT_FALSE(found) << c.what;
      continue;
    }
    ASSERT_TRUE(found) << c.what;
    EXPECT_EQ(found->displayName(), *c.chosen) << c.what;
    EXPECT_EQ(found->isWindowCommand, c.isWindowCommand) << c.what;
    auto slash = c.chosen->find(" ▸ ");
    EXPECT_EQ(found->element, desk.menuItemElement(pid, c.chosen->substr(0, slash),
                                                   c.chosen->substr(slash + strlen(" ▸ "))))
        << c.what;
  }
}

TEST_F(AXController, PressOpensAWindowOrLogsTheError) {
  VirtualMainLoop loop2;
  SimDesktop desk2{loop2};
  SimAppSpec app;
  app.bundlePath = "/Applications/Browser.app";
  app.bundleIdentifier = "com.example.browser";
  app.windowsAtLaunch = {};
  app.menus = {{"File",
                {item("New Window", true, "n", 0, SimMenuAction::newWindow),
                 item("New Document", false, std::nullopt, std::nullopt)}}};
  desk2.install(app);
  Pid browser = desk2.launch("com.example.browser");
  AXWindowController ax2{desk2.accessibility(), desk2.windowList(), desk2.displays()};
  auto command = ax2.newWindowMenuItem(browser);
  ASSERT_TRUE(command);
  EXPECT_TRUE(ax2.press(command->element));
  EXPECT_EQ(desk2.windows(browser).size(), 1u);
  EXPECT_FALSE(ax2.press(desk2.menuItemElement(browser, "File", "New Document")));
  EXPECT_EQ(console.lines(),
            std::vector<std::string>{"[Zelvorn][AX] Menu item press failed: AXError -25204"});
}

TEST_F(AXController, DocumentPathOnlyForFileURLs) {
  SimWindowSpec doc;
  doc.document = "file:///Users/me/Work/../Plans%20Q3.txt";
  auto w = open(doc);
  EXPECT_EQ(ax.documentPath(desk.windowElement(w)), "/Users/me/Plans Q3.txt");
  desk.updateWindow(w, [](SimWindowSpec& s) { s.document = "https://example.com/x"; });
  EXPECT_EQ(ax.documentPath(desk.windowElement(w)), std::nullopt);
  desk.updateWindow(w, [](SimWindowSpec& s) { s.document.reset(); });
  EXPECT_EQ(ax.documentPath(desk.windowElement(w)), std::nullopt);
}

TEST_F(AXController, NativeFullScreenBySizeWithAndWithoutATopInset) {
  const std::vector<FullScreenExtent> notched = {{{1512, 982}, 32}, {{2560, 1440}, 0}};
  const std::vector<FullScreenExtent> plain = {{{1512, 982}, 0}};
  struct Case {
    const char* what;
    AXRect frame;
    int layer;
    bool onCurrentSpace;
    bool withInset, withoutInset;
  } cases[] = {
      {"whole notched screen", {0, 0, 1512, 982}, 0, false, true, true},
      {"below the camera housing", {0, 32, 1512, 950}, 0, false, true, false},
      {"within two points", {0, 0, 1510.5, 980.5}, 0, true, true, true},
      {"exactly two points off", {0, 0, 1510, 982}, 0, true, false, false},
      {"second screen", {1512, 0, 2560, 1440}, 0, true, true, false},
      {"not layer 0", {0, 0, 1512, 982}, 3, true, false, false},
      {"ordinary window", {0, 0, 800, 600}, 0, true, false, false},
  };
  for (const auto& c : cases) {
    SimWindowSpec s;
    s.frame = c.frame;
    s.layer = c.layer;
    s.onCurrentSpace = c.onCurrentSpace;
    auto w = open(s);
    EXPECT_EQ(ax.appHasNativeFullScreenWindow(pid, notched), c.withInset) << c.what;
    EXPECT_EQ(ax.appHasNativeFullScreenWindow(pid, plain), c.withoutInset) << c.what;
    EXPECT_FALSE(ax.appHasNativeFullScreenWindow(pid + 1, notched)) << c.what;
    desk.setWindowListAvailable(false);
    EXPECT_FALSE(ax.appHasNativeFullScreenWindow(pid, notched)) << c.what;
    desk.setWindowListAvailable(true);
    desk.closeWindow(w);
  }
  EXPECT_EQ(desk.recorder().texts({SimCallKind::windowList}).front(), "windowList 16");
}

TEST_F(AXController, NativeFullScreenFollowsTheDisplaysOfTheDesktop) {
  auto notched = SimDisplays::makeScreen(1, {0, 0, 1512, 982});
  notched.safeAreaTopInset = 32;
  desk.displays().setScreens({notched, SimDisplays::makeScreen(2, {1512, 0, 1920, 1080})});
  auto w = open();
  EXPECT_FALSE(ax.appHasNativeFullScreenWindow(pid));
  desk.setFullScreen(w, true, AXRect{0, 32, 1512, 950});
  EXPECT_TRUE(ax.appHasNativeFullScreenWindow(pid));
  desk.setFullScreen(w, false, AXRect{1600, 100, 800, 600});
  EXPECT_FALSE(ax.appHasNativeFullScreenWindow(pid));
  desk.setFullScreen(w, true);  // takes the screen it is on
  EXPECT_EQ(desk.window(w)->desc.frame, (AXRect{1512, -98, 1920, 1080}));
  EXPECT_TRUE(ax.appHasNativeFullScreenWindow(pid));
}

TEST_F(AXController, WindowNumbersMayBeUnavailable) {
  auto w = open();
  EXPECT_EQ(ax.windowNumber(desk.windowElement(w)), w);
  desk.setWindowNumberLookupAvailable(false);
  EXPECT_EQ(ax.windowNumber(desk.windowElement(w)), std::nullopt);
}

}  // namespace
}  // namespace zelvorn
