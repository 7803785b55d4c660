#include "Sim/SimDisplays.h"

#include <gtest/gtest.h>

#include "Sim/SimSystemEvents.h"
#include "Sim/VirtualMainLoop.h"

namespace zelvorn {
namespace {

class SimDisplaysTest : public testing::Test {
 protected:
  SimDisplaysTest() {
    sub = events.on(SystemEvent::screenParametersChanged, [this] { ++notifications; });
  }
  int drain() {
    loop.runUntilIdle();
    return std::exchange(notifications, 0);
  }
  std::vector<DisplayNumber> order() const {
    std::vector<DisplayNumber> out;
    for (const auto& s : displays.screens())
      out.push_back(s.displayNumber.value_or(0));
    return out;
  }

  VirtualMainLoop loop;
  SimSystemEvents events{loop};
  SimDisplays displays{events};
  Subscription sub;
  int notifications = 0;
};

TEST_F(SimDisplaysTest, EveryChangeAnnouncesItselfOnce) {
  EXPECT_TRUE(displays.screens().empty());
  EXPECT_EQ(displays.mainScreenIndex(), std::nullopt);

  displays.addScreen(SimDisplays::makeScreen(1, {0, 0, 1512, 982}));
  EXPECT_EQ(drain(), 1);
  EXPECT_EQ(displays.mainScreenIndex(), 0u);  // the first screen becomes main
  displays.addScreen(SimDisplays::makeScreen(2, {1512, 0, 2560, 1440}));
  displays.addScreen(SimDisplays::makeScreen(3, {-1920, 0, 1920, 1080}), 0);
  EXPECT_EQ(drain(), 2);
  EXPECT_EQ(order(), (std::vector<DisplayNumber>{3, 1, 2}));
  EXPECT_EQ(displays.mainScreenIndex(), 1u);

  // Reordering keeps the same display main.
  EXPECT_TRUE(displays.moveScreen(1, 2));
  EXPECT_EQ(order(), (std::vector<DisplayNumber>{3, 2, 1}));
  EXPECT_EQ(displays.mainScreenIndex(), 2u);

  EXPECT_TRUE(displays.resizeScreen(0, {-1280, 0, 1280, 800}, {-1280, 0, 1280, 775}));
  EXPECT_EQ(displays.screens()[0].frame, (CocoaRect{-1280, 0, 1280, 800}));
  EXPECT_EQ(drain(), 2);

  // Removing the main screen makes the first remaining one main.
  EXPECT_TRUE(displays.removeScreen(2));
  EXPECT_EQ(displays.mainScreenIndex(), 0u);
  EXPECT_EQ(displays.indexOfDisplay(2), 1u);
  EXPECT_EQ(displays.indexOfDisplay(1), std::nullopt);
  EXPECT_EQ(drain(), 1);

  // Bad indexes change nothing and announce nothing.
  EXPECT_FALSE(displays.removeScreen(7));
  EXPECT_FALSE(displays.moveScreen(0, 7));
  EXPECT_FALSE(displays.resizeScreen(7, {}, {}));
  EXPECT_EQ(drain(), 0);

  displays.setMainScreen(std::nullopt);
  EXPECT_EQ(displays.mainScreenIndex(), std::nullopt);
  displays.setScreens({});
  EXPECT_TRUE(displays.screens().empty());
  EXPECT_EQ(drain(), 2);
}

TEST(SimDisplays, MadeScreensHaveAMenuBarAndAStableUuid) {
  auto s = SimDisplays::makeScreen(42, {0, 0, 1512, 982});
  EXPECT_EQ(s.visibleFrame, (CocoaRect{0, 0, 1512, 957}));
  EXPECT_EQ(s.uuid, SimDisplays::makeScreen(42, {5, 5, 10, 10}).uuid);
  EXPECT_NE(s.uuid, SimDisplays::makeScreen(43, {0, 0, 1512, 982}).uuid);
  EXPECT_EQ(s.localizedName, "Display 42");
}

}  // namespace
}  // namespace zelvorn
