#include "Layout/DisplayQueries.h"

#include <gtest/gtest.h>

#include "Sim/SimDisplays.h"
#include "Sim/SimSystemEvents.h"
#include "Sim/VirtualMainLoop.h"
#include "Support/GeometryPrint.h"

namespace zelvorn {
namespace {

using Current = DisplayQueries::CurrentDisplay;

// A 1512 × 982 laptop at the origin and a taller monitor to its right, whose top is 458 points
// above the laptop's in AX space.
class DisplayQueriesTest : public testing::Test {
 protected:
  DisplayQueriesTest() {
    displays.setScreens({SimDisplays::makeScreen(1, {0, 0, 1512, 982}),
                         SimDisplays::makeScreen(2, {1512, 0, 2560, 1440})});
  }
  VirtualMainLoop loop;
  SimSystemEvents events{loop};
  SimDisplays displays{events};
  const AXRect laptopVisible{0, 25, 1512, 957};
  const AXRect monitorVisible{1512, -433, 2560, 1415};
};

TEST_F(DisplayQueriesTest, VisibleFramesInAXSpace) {
  EXPECT_EQ(DisplayQueries::availableScreensVisibleAX(displays),
            (std::vector<AXRect>{laptopVisible, monitorVisible}));
  EXPECT_EQ(DisplayQueries::screenVisibleFrameAX({1600, -300, 800, 600}, displays), monitorVisible);
  // Centre on no screen: the main screen's.
  displays.setMainScreen(1);
  EXPECT_EQ(DisplayQueries::screenVisibleFrameAX({-5000, 0, 100, 100}, displays), monitorVisible);
  displays.setMainScreen(std::nullopt);
  EXPECT_EQ(DisplayQueries::screenVisibleFrameAX({-5000, 0, 100, 100}, displays), std::nullopt);
}

TEST_F(DisplayQueriesTest, DisplayIDUnderTheCentre) {
  EXPECT_EQ(DisplayQueries::displayID({100, 100, 400, 300}, displays), 1u);
  EXPECT_EQ(DisplayQueries::displayID({1400, -100, 400, 300}, displays), 2u);
  EXPECT_EQ(DisplayQueries::displayID({100, 2000, 400, 300}, displays), std::nullopt);
}

TEST_F(DisplayQueriesTest, CurrentDisplayAndWhyItWasChosen) {
  using Q = DisplayQueries;
  EXPECT_EQ(Q::currentDisplayVisibleAX(displays, CocoaPoint{2000, 1200}, CocoaRect{0, 0, 500, 500}),
            (Current{monitorVisible, "mouse cursor"}));
  EXPECT_EQ(
      Q::currentDisplayVisibleAX(displays, CocoaPoint{-10, -10}, CocoaRect{1400, 0, 500, 500}),
      (Current{monitorVisible, "focused managed window"}));
  displays.setMainScreen(1);
  EXPECT_EQ(Q::currentDisplayVisibleAX(displays, std::nullopt, std::nullopt),
            (Current{monitorVisible, "NSScreen.main"}));
  displays.setMainScreen(std::nullopt);
  EXPECT_EQ(Q::currentDisplayVisibleAX(displays, CocoaPoint{-10, -10}, std::nullopt),
            (Current{laptopVisible, "first screen"}));
  displays.setScreens({});
  EXPECT_EQ(Q::currentDisplayVisibleAX(displays, CocoaPoint{10, 10}, std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace zelvorn
