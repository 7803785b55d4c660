#include "Layout/DisplayTopology.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Layout/DisplayResolver.h"
#include "Layout/GeometryLog.h"
#include "Layout/ScreenGeometry.h"
#include "Support/CapturingConsole.h"
#include "Support/GeometryPrint.h"

namespace zelvorn {
namespace {

ScreenInfo screen(std::optional<DisplayNumber> number, std::optional<std::string> uuid,
                  CocoaRect frame) {
  ScreenInfo s;
  s.frame = frame;
  s.visibleFrame = {frame.x, frame.y, frame.width, frame.height - 25};
  s.displayNumber = number;
  s.uuid = std::move(uuid);
  return s;
}

TEST(ScreenGeometry, ConvertsBetweenTheTwoSpacesBothWays) {
  const AXRect ax{10, 20, 300, 200};
  const CocoaRect cocoa{10, 780, 300, 200};
  EXPECT_EQ(ScreenGeometry::axToCocoa(ax, 1000), cocoa);
  EXPECT_EQ(ScreenGeometry::cocoaToAX(cocoa, 1000), ax);
  // A display above the primary one has negative AX y.
  EXPECT_EQ(ScreenGeometry::cocoaToAX(CocoaRect{0, 1000, 1920, 1080}, 1000),
            (AXRect{0, -1080, 1920, 1080}));
  EXPECT_EQ(ScreenGeometry::cocoaToAX(CocoaPoint{5, 990}, 1000), (AXPoint{5, 10}));
  EXPECT_EQ(ScreenGeometry::axToCocoa(AXPoint{5, 10}, 1000), (CocoaPoint{5, 990}));
}

TEST(ScreenGeometry, PrimaryDisplayHeightIsTheScreenAtTheOrigin) {
  const auto side = screen(2, "B", {-1920, 0, 1920, 1200});
  const auto primary = screen(1, "A", {0, 0, 1512, 982});
  EXPECT_EQ(ScreenGeometry::primaryDisplayHeight({side, primary}, 0), 982);
  // Nothing at the origin: the main screen; no main screen either: 0.
  EXPECT_EQ(ScreenGeometry::primaryDisplayHeight({side}, 0), 1200);
  EXPECT_EQ(ScreenGeometry::primaryDisplayHeight({side}, std::nullopt), 0);
  EXPECT_EQ(ScreenGeometry::primaryDisplayHeight({}, std::nullopt), 0);
}

TEST(ScreenGeometry, MaximizeTargetPrefersTheScreenHoldingTheCentre) {
  using SF = ScreenGeometry::ScreenFrames;
  const SF left{{0, 0, 1000, 800}, {0, 0, 1000, 775}};
  const SF right{{1000, 0, 1000, 800}, {1000, 0, 1000, 775}};
  EXPECT_EQ(ScreenGeometry::maximizeTargetFrame({900, 100, 400, 300}, {left, right}),
            right.visibleFrame);
  // Centre off every screen: the biggest overlap; no overlap at all: the first screen.
  EXPECT_EQ(ScreenGeometry::maximizeTargetFrame({700, 700, 400, 300}, {left, right}),
            left.visibleFrame);
  EXPECT_EQ(ScreenGeometry::maximizeTargetFrame({5000, 5000, 10, 10}, {right, left}),
            right.visibleFrame);
  EXPECT_EQ(ScreenGeometry::maximizeTargetFrame({0, 0, 10, 10}, {}), std::nullopt);
}

TEST(DisplayTopology, FingerprintNamesTheSetNotTheOrder) {
  const auto a = screen(1, "37D8832A-2D66-02CA-B9F7-8F30A301B230", {0, 0, 1512, 982});
  const auto b = screen(2, "0E1F8E2C-0000-4000-8000-000000000002", {1512, 0, 2560, 1440});
  const auto fp = DisplayTopology::currentFingerprint({a, b});
  EXPECT_EQ(fp, "0E1F8E2C-0000-4000-8000-000000000002+37D8832A-2D66-02CA-B9F7-8F30A301B230");
  EXPECT_EQ(DisplayTopology::currentFingerprint({b, a}), fp);
  EXPECT_EQ(DisplayTopology::currentFingerprint({}), std::nullopt);
  EXPECT_EQ(DisplayTopology::fingerprint({}), std::nullopt);
}

TEST(DisplayTopology, IdentityFallsBackToTheFrameInWholePoints) {
  struct C {
    ScreenInfo s;
    std::string expected;
  };
  for (const C& c : std::vector<C>{
           {screen(1, "UUID-1", {0, 0, 1512, 982}), "UUID-1"},
           {screen(std::nullopt, std::nullopt, {0, 0, 1512, 982}), "geom:1512x982@0,0"},
           {screen(1, std::nullopt, {-1920, 0, 1920, 1080}), "geom:1920x1080@-1920,0"},
           {screen(std::nullopt, "UUID-1", {0, 0, 1512, 982}), "geom:1512x982@0,0"},
           {screen(1, "", {0, 0, 1512, 982}), "geom:1512x982@0,0"},
           {screen(1, std::nullopt, {-0.5, 982.9, 1512.7, 982.2}), "geom:1512x982@0,982"},
       })
    EXPECT_EQ(DisplayTopology::identity(DisplayTopology::displayID(c.s), c.s.uuid, c.s.frame),
              c.expected);
}

TEST(DisplayResolver, CurrentScreenFromTheMouseThenTheFocusedWindow) {
  const std::vector<CocoaRect> screens{{0, 0, 1000, 800}, {1000, 0, 1000, 800}};
  using DR = DisplayResolver;
  EXPECT_EQ(DR::currentScreenIndex(CocoaPoint{1500, 10}, CocoaRect{0, 0, 100, 100}, screens), 1u);
  EXPECT_EQ(DR::currentScreenIndex(CocoaPoint{-5, -5}, CocoaRect{800, 0, 500, 100}, screens), 1u);
  EXPECT_EQ(DR::currentScreenIndex(std::nullopt, CocoaRect{900, 0, 200, 100}, screens), 0u);
  EXPECT_EQ(DR::currentScreenIndex(std::nullopt, CocoaRect{5000, 0, 200, 100}, screens),
            std::nullopt);
  EXPECT_EQ(DR::currentScreenIndex(CocoaPoint{-5, -5}, std::nullopt, screens), std::nullopt);
}

TEST(DisplayResolver, UsablyVisibleAndClamped) {
  const std::vector<AXRect> screens{{0, 0, 1000, 800}};
  EXPECT_TRUE(DisplayResolver::isUsablyVisible(AXRect{760, 744, 500, 500}, screens, {240, 56}));
  EXPECT_FALSE(DisplayResolver::isUsablyVisible(AXRect{761, 744, 500, 500}, screens, {240, 56}));
  EXPECT_FALSE(DisplayResolver::isUsablyVisible(AXRect{760, 745, 500, 500}, screens, {240, 56}));

  const AXRect bounds{0, 25, 1000, 775};
  // Hanging off the right: moved in, size kept.
  EXPECT_EQ(DisplayResolver::clamped(AXRect{800, 100, 400, 300}, bounds, {480, 320}),
            (AXRect{520, 100, 480, 320}));
  // Bigger than the bounds: shrunk to them.
  EXPECT_EQ(DisplayResolver::clamped(AXRect{-50, 0, 3000, 2000}, bounds, {480, 320}), bounds);
  // Above the top: pulled down below the menu bar.
  EXPECT_EQ(DisplayResolver::clamped(AXRect{10, -300, 600, 400}, bounds, {480, 320}),
            (AXRect{10, 25, 600, 400}));
}

TEST(DisplayTopology, HomeTargetKeepsWhatIsOnScreenAndPullsInWhatHangsOff) {
  const std::vector<AXRect> one{{0, 0, 1000, 800}};
  const Size min{480, 320};
  // 99.5 % on screen: unchanged.
  const AXRect almost{5, 0, 1000, 800};
  EXPECT_TRUE(DisplayTopology::isFullyOnScreens(almost, one));
  EXPECT_EQ(DisplayTopology::homeTarget(almost, one, min), almost);
  // 30 % off the right edge: moved inside at its own size.
  EXPECT_EQ(DisplayTopology::homeTarget({400, 100, 857, 320}, one, min),
            (AXRect{143, 100, 857, 320}));
  // A small rectangle half off is grown to the minimum as it is pulled in.
  EXPECT_EQ(DisplayTopology::homeTarget({900, 700, 200, 200}, one, min),
            (AXRect{520, 480, 480, 320}));
  // Not on any screen: no target.
  EXPECT_EQ(DisplayTopology::homeTarget({2000, 0, 500, 500}, one, min), std::nullopt);
  // Spread over two screens that together hold it.
  const std::vector<AXRect> two{{0, 0, 1000, 800}, {1000, 0, 1000, 800}};
  EXPECT_EQ(DisplayTopology::homeTarget({800, 100, 400, 300}, two, min),
            (AXRect{800, 100, 400, 300}));
  EXPECT_FALSE(DisplayTopology::isFullyOnScreens({0, 0, 0, 10}, one));
}

TEST(DisplayTopology, BestScreenIsAtAndReachability) {
  const std::vector<AXRect> two{{0, 0, 1000, 800}, {1000, 0, 1000, 800}};
  EXPECT_EQ(DisplayTopology::bestScreen({900, 0, 300, 100}, two), two[1]);
  EXPECT_EQ(DisplayTopology::bestScreen({900, 0, 200, 100}, two), two[0]);  // tie: the first
  EXPECT_EQ(DisplayTopology::bestScreen({5000, 0, 200, 100}, two), std::nullopt);

  EXPECT_TRUE(DisplayTopology::isAt({0, 0, 100, 100}, {2, -2, 102, 98}));
  EXPECT_FALSE(DisplayTopology::isAt({0, 0, 100, 100}, {2.5, 0, 100, 100}));

  const std::vector<AXRect> screen{{0, 25, 1000, 775}};
  // The top strip must be on one screen nearly in full height and wide enough.
  EXPECT_TRUE(DisplayTopology::isTopOnScreen({760, 24, 600, 400}, screen, 240));
  EXPECT_FALSE(DisplayTopology::isTopOnScreen({760, 20, 600, 400}, screen, 240));
  EXPECT_FALSE(DisplayTopology::isTopOnScreen({761, 100, 600, 400}, screen, 240));
  EXPECT_TRUE(DisplayTopology::isTopOnScreen({0, 790, 600, 10}, screen, 240));

  EXPECT_TRUE(DisplayTopology::isHandleOnScreen({5000, 5000, 0, 0}, screen));
  EXPECT_TRUE(DisplayTopology::isHandleOnScreen({960, 25, 80, 12}, screen));
  EXPECT_FALSE(DisplayTopology::isHandleOnScreen({961, 25, 80, 12}, screen));
  EXPECT_FALSE(DisplayTopology::isHandleOnScreen({100, 18, 80, 12}, screen));
}

TEST(GeometryLog, WholeTruncatedPoints) {
  EXPECT_EQ(GeometryLog::rectLog(AXRect{0, 25, 1512, 957}), "(0,25 1512\u00D7957)");
  EXPECT_EQ(GeometryLog::rectLog(CocoaRect{-12.9, 0.99, 700.5, -3.2}), "(-12,0 700\u00D7-3)");
  EXPECT_EQ(GeometryLog::rectDescription(AXRect{10.7, -0.4, 300, 200}), "x=10 y=0 w=300 h=200");
  EXPECT_EQ(GeometryLog::rectLog(AXRect{std::nan(""), 0, 1, 1}), "(nan,0 1\u00D71)");
  EXPECT_EQ(GeometryLog::screensLogSummary({{0, 25, 1512, 957}, {1512, -200, 2560, 1415}}),
            "displays(AX): [screen0 visible=(0,25 1512\u00D7957); screen1 visible=(1512,-200 "
            "2560\u00D71415)]");
  EXPECT_EQ(GeometryLog::screensLogSummary({}), "displays(AX): []");
}

TEST(GeometryLog, SlowAccessibilityCallsAreLogged) {
  CapturingConsole console;
  GeometryLog::logIfSlowAX("windows", "Safari", 10.0, 10.149);
  GeometryLog::logIfSlowAX("windows", "Mail", 10.0, 10.4);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"[Zelvorn][AX] windows: Mail took 400 ms."});
}

}  // namespace
}  // namespace zelvorn
