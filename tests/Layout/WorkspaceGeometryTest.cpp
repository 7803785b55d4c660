#include "Layout/WorkspaceGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/GeometryPrint.h"

namespace zelvorn {
namespace {

using G = WorkspaceGeometry;

Workspace makeWorkspace(LayoutType type, int apps,
                        std::optional<std::vector<double>> ratios = std::nullopt,
                        std::optional<ThreeColumnsState> threeColumns = std::nullopt) {
  Workspace w;
  w.name = "Work";
  for (int i = 0; i < apps; ++i) {
    ManagedApp app;
    app.bundleIdentifier = "com.example.app" + std::to_string(i);
    w.apps.push_back(app);
  }
  w.layout.type = type;
  w.layout.ratios = std::move(ratios);
  w.layout.threeColumns = threeColumns;
  return w;
}

const ThreeColumnsState kUnfolded{false, std::nullopt};
const ThreeColumnsState kFolded{true, std::nullopt};

G::ContainerFacts shownIn(AXRect container) {
  return {container, std::nullopt, std::nullopt};
}

TEST(WorkspaceGeometry, GeometryTypeFollowsTheThreeColumnState) {
  struct C {
    Workspace w;
    LayoutType expected;
  };
  const std::vector<C> cases = {
      {makeWorkspace(LayoutType::grid2x2, 4), LayoutType::grid2x2},
      {makeWorkspace(LayoutType::threeLeftOneRightTwo, 3), LayoutType::threeLeftOneRightTwo},
      {makeWorkspace(LayoutType::threeLeftOneRightTwo, 3, {}, kUnfolded), LayoutType::threeColumns},
      {makeWorkspace(LayoutType::threeLeftOneRightTwo, 3, {}, kFolded),
       LayoutType::threeLeftOneRightTwo},
      // The state only counts with three apps and the 1 + 2 type.
      {makeWorkspace(LayoutType::threeLeftOneRightTwo, 2, {}, kUnfolded),
       LayoutType::threeLeftOneRightTwo},
      {makeWorkspace(LayoutType::leftRightSplit, 3, {}, kUnfolded), LayoutType::leftRightSplit},
      {makeWorkspace(LayoutType::threeColumns, 3), LayoutType::threeColumns},
  };
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(G::geometryType(cases[i].w), cases[i].expected) << "case " << i;
}

TEST(WorkspaceGeometry, StoredAndThreeColumnRatios) {
  EXPECT_EQ(G::storedRatios(makeWorkspace(LayoutType::grid2x2, 4)), std::vector<double>{});
  EXPECT_EQ(G::storedRatios(makeWorkspace(LayoutType::grid2x2, 4, std::vector<double>{0.4})),
            std::vector<double>{0.4});

  EXPECT_EQ(
      G::threeColumnsRatios(makeWorkspace(LayoutType::threeLeftOneRightTwo, 3, {}, kUnfolded)),
      (std::vector<double>{1.0 / 3.0, 0.5}));
  EXPECT_EQ(G::threeColumnsRatios(makeWorkspace(LayoutType::threeLeftOneRightTwo, 3, {}, kFolded)),
            (std::vector<double>{0.5, 0.5}));
  EXPECT_EQ(G::threeColumnsRatios(makeWorkspace(LayoutType::threeLeftOneRightTwo, 3,
                                                std::vector<double>{0.4}, kUnfolded)),
            (std::vector<double>{0.4, 0.5}));
  EXPECT_EQ(G::threeColumnsRatios(makeWorkspace(LayoutType::mainSidebar, 3)),
            (std::vector<double>{0.6, 0.5}));
}

TEST(WorkspaceGeometry, EffectiveRatiosClampOnlyTheFirstRatioAlongItsAxis) {
  struct C {
    Workspace w;
    AXRect container;
    std::vector<double> expected;
  };
  const AXRect wide{0, 0, 1008, 2000};  // 1000 points to split across
  const AXRect tall{0, 0, 2000, 1008};  // 1000 points to split down
  const std::vector<C> cases = {
      {makeWorkspace(LayoutType::leftRightSplit, 2), wide, {0.5}},
      {makeWorkspace(LayoutType::leftRightSplit, 2, std::vector<double>{0.1, 0.01}),
       wide,
       {0.32, 0.01}},
      {makeWorkspace(LayoutType::leftRightSplit, 2, std::vector<double>{0.7}),
       {0, 0, 600, 900},
       {0.5}},
      {makeWorkspace(LayoutType::topBottomSplit, 2, std::vector<double>{0.9}), tall, {0.68}},
      {makeWorkspace(LayoutType::threeTopTwoBottomOne, 3, std::vector<double>{0.1}), tall, {0.32}},
      {makeWorkspace(LayoutType::threeTopOneBottomTwo, 3, std::vector<double>{0.9}), tall, {0.68}},
      {makeWorkspace(LayoutType::threeLeftTwoRightOne, 3, std::vector<double>{0.1}), wide, {0.32}},
      {makeWorkspace(LayoutType::mainSidebar, 3), wide, {0.6}},
      {makeWorkspace(LayoutType::grid2x2, 4, std::vector<double>{0.9, 0.9}), wide, {0.68, 0.9}},
      // Three columns keep their stored ratios: they are fitted to the apps elsewhere.
      {makeWorkspace(LayoutType::threeColumns, 3, std::vector<double>{0.1, 0.2}), wide, {0.1, 0.2}},
      {makeWorkspace(LayoutType::threeColumns, 3), wide, {}},
      {makeWorkspace(LayoutType::threeLeftOneRightTwo, 3, std::vector<double>{0.1, 0.2}, kUnfolded),
       wide,
       {0.1, 0.2}},
      {makeWorkspace(LayoutType::threeLeftOneRightTwo, 3, std::vector<double>{0.1, 0.2}, kFolded),
       wide,
       {0.32, 0.2}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    auto got = G::effectiveRatios(cases[i].w, cases[i].container);
    ASSERT_EQ(got.size(), cases[i].expected.size()) << "case " << i;
    for (std::size_t k = 0; k < got.size(); ++k)
      EXPECT_NEAR(got[k], cases[i].expected[k], 1e-12) << "case " << i << " ratio " << k;
  }
}

TEST(WorkspaceGeometry, ContainerComesFromTheSessionThenTheRememberedFrames) {
  Workspace w = makeWorkspace(LayoutType::leftRightSplit, 2);
  const AXRect session{5, 30, 900, 700};
  const AXRect home{100, 60, 1000, 800};
  const AXRect last{40, 50, 1100, 700};
  const AXRect visible{0, 25, 1512, 957};
  G::ContainerFacts facts{std::nullopt, "display-a", visible};

  EXPECT_EQ(G::currentContainerAXRect(w, facts), (AXRect{12, 37, 1488, 933}));
  EXPECT_EQ(G::currentContainerAXRect(w, {}), (AXRect{0, 0, 1280, 800}));

  w.lastContainerFrame = RectModel{40, 50, 0, 700};  // no real size: skipped
  EXPECT_EQ(G::currentContainerAXRect(w, facts), (AXRect{12, 37, 1488, 933}));
  w.lastContainerFrame = RectModel::from(last);
  EXPECT_EQ(G::currentContainerAXRect(w, facts), last);

  w.topologyFrames = std::map<std::string, RectModel>{{"display-a", RectModel::from(home)},
                                                      {"display-b", RectModel{0, 0, 0, 0}}};
  EXPECT_EQ(G::currentContainerAXRect(w, facts), home);
  facts.currentTopology = "display-b";  // an empty home counts as none
  EXPECT_EQ(G::currentContainerAXRect(w, facts), last);

  facts.sessionContainerAXRect = session;
  EXPECT_EQ(G::currentContainerAXRect(w, facts), session);
}

TEST(WorkspaceGeometry, TileRects) {
  struct C {
    std::string name;
    Workspace w;
    AXRect container;
    std::vector<double> ratios;
    std::vector<AXRect> rects;
  };
  const std::vector<C> cases = {
      // Normal path: 3-point margin, 6-point gutters.
      {"two apps side by side",
       makeWorkspace(LayoutType::leftRightSplit, 2),
       {0, 25, 1512, 957},
       {0.5},
       {{3, 28, 750, 951}, {759, 28, 750, 951}}},
      {"four apps in a grid",
       makeWorkspace(LayoutType::grid2x2, 4, std::vector<double>{0.4, 0.6}),
       {0, 0, 1012, 512},
       {0.4, 0.6},
       {{3, 3, 400, 300}, {409, 3, 600, 300}, {3, 309, 400, 200}, {409, 309, 600, 200}}},
      {"three columns without stored ratios",
       makeWorkspace(LayoutType::threeLeftOneRightTwo, 3, {}, kUnfolded),
       {0, 0, 1200, 600},
       {},
       {{3, 3, 396, 594}, {405, 3, 393, 594}, {804, 3, 393, 594}}},
      // Spaced path: no margin, 8-point spacing.
      {"one app fills the container",
       makeWorkspace(LayoutType::leftRightSplit, 1),
       {100, 100, 800, 600},
       {0.5},
       {{100, 100, 800, 600}}},
      {"one app in a grid",
       makeWorkspace(LayoutType::grid2x2, 1),
       {100, 100, 800, 600},
       {0.5},
       {{100, 100, 800, 600}}},
      {"one app stacked",
       makeWorkspace(LayoutType::topBottomSplit, 1),
       {100, 100, 800, 600},
       {0.5},
       {{100, 100, 800, 600}}},
      // The three-pane types always lay out three panes, even for one app.
      {"one app in a 2 + 1 layout",
       makeWorkspace(LayoutType::threeTopTwoBottomOne, 1),
       {0, 0, 808, 608},
       {0.5},
       {{0, 0, 400, 300}, {408, 0, 400, 300}, {0, 308, 808, 300}}},
      {"main and sidebar",
       makeWorkspace(LayoutType::mainSidebar, 3),
       {0, 0, 1008, 508},
       {0.6},
       {{0, 0, 600, 508}, {608, 0, 400, 250}, {608, 258, 400, 250}}},
      {"no apps", makeWorkspace(LayoutType::grid2x2, 0), {0, 0, 800, 600}, {0.5}, {}},
      {"empty container", makeWorkspace(LayoutType::mainSidebar, 2), {0, 0, 0, 600}, {0.5}, {}},
  };
  for (const C& c : cases) {
    SCOPED_TRACE(c.name);
    auto got = G::tileRects(c.w, shownIn(c.container));
    ASSERT_EQ(got.ratios.size(), c.ratios.size());
    for (std::size_t k = 0; k < got.ratios.size(); ++k)
      EXPECT_NEAR(got.ratios[k], c.ratios[k], 1e-12);
    EXPECT_TRUE(rectsNear(got.rects, c.rects));
  }
}

TEST(WorkspaceGeometry, ClampedSideEndsSlightlyUnderTheMinimum) {
  // The clamp measures the width less 8, the tiled panes share the width less 12.
  auto got = G::tileRects(makeWorkspace(LayoutType::leftRightSplit, 2, std::vector<double>{0.1}),
                          shownIn({0, 0, 1000, 800}));
  EXPECT_NEAR(got.ratios[0], 320.0 / 992, 1e-12);
  EXPECT_NEAR(got.rects[0].width, 988.0 * 320 / 992, 1e-9);
  EXPECT_LT(got.rects[0].width, 320);
  EXPECT_GT(got.rects[0].width, 318);
}

TEST(WorkspaceGeometry, TileRectsUseTheRememberedContainerWhenNotShown) {
  Workspace w = makeWorkspace(LayoutType::leftRightSplit, 2);
  w.lastContainerFrame = RectModel{0, 0, 1012, 600};
  auto got = G::tileRects(w, {});
  EXPECT_TRUE(rectsNear(got.rects, {{3, 3, 500, 594}, {509, 3, 500, 594}}));
}

}  // namespace
}  // namespace zelvorn
