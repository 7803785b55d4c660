#include "Layout/LayoutEngine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/GeometryPrint.h"

namespace zelvorn {
namespace {

using Engine = LayoutEngine;
using Gutter = LayoutEngine::SplitGutter;
constexpr auto col = SplitAxis::column;
constexpr auto row = SplitAxis::row;
constexpr auto none = std::nullopt;

// 1194 × 594 with 6-point gutters splits evenly 2, 3, 4 and 5 ways in both directions
// (1188/2, 1182/3, 1176/4, 1170/5 and 588/2, 582/3, 576/4, 570/5), and the origin is not zero.
constexpr Rect kContainer{10, 20, 1194, 594};
constexpr double kGutter = 6;

struct Case {
  LayoutType type;
  int count;
  std::vector<Rect> frames;
  std::vector<Gutter> gutters;
};

std::string caseName(const Case& c) {
  return std::string(rawValue(c.type)) + "/" + std::to_string(c.count);
}

// Frames and gutters with default ratios, first row at min y.
std::vector<Case> allCases() {
  const Rect whole = kContainer;
  std::vector<Case> cases;
  for (LayoutType t : kAllLayoutTypes)
    cases.push_back({t, 0, {}, {}});
  for (LayoutType t : {LayoutType::leftRightSplit, LayoutType::topBottomSplit, LayoutType::grid2x2,
                       LayoutType::mainSidebar})
    cases.push_back({t, 1, {whole}, {}});

  auto add = [&](LayoutType t, std::vector<int> counts, std::vector<Rect> frames,
                 std::vector<Gutter> gutters) {
    for (int n : counts)
      cases.push_back({t, n, frames, gutters});
  };

  add(LayoutType::leftRightSplit, {2}, {{10, 20, 594, 594}, {610, 20, 594, 594}},
      {{col, 0, {604, 20, 6, 594}}});
  add(LayoutType::leftRightSplit, {3},
      {{10, 20, 394, 594}, {410, 20, 394, 594}, {810, 20, 394, 594}},
      {{col, none, {404, 20, 6, 594}}, {col, none, {804, 20, 6, 594}}});
  add(LayoutType::leftRightSplit, {4},
      {{10, 20, 294, 594}, {310, 20, 294, 594}, {610, 20, 294, 594}, {910, 20, 294, 594}},
      {{col, none, {304, 20, 6, 594}},
       {col, none, {604, 20, 6, 594}},
       {col, none, {904, 20, 6, 594}}});
  add(LayoutType::leftRightSplit, {5},
      {{10, 20, 234, 594},
       {250, 20, 234, 594},
       {490, 20, 234, 594},
       {730, 20, 234, 594},
       {970, 20, 234, 594}},
      {{col, none, {244, 20, 6, 594}},
       {col, none, {484, 20, 6, 594}},
       {col, none, {724, 20, 6, 594}},
       {col, none, {964, 20, 6, 594}}});

  add(LayoutType::topBottomSplit, {2}, {{10, 20, 1194, 294}, {10, 320, 1194, 294}},
      {{row, 0, {10, 314, 1194, 6}}});
  add(LayoutType::topBottomSplit, {3},
      {{10, 20, 1194, 194}, {10, 220, 1194, 194}, {10, 420, 1194, 194}},
      {{row, none, {10, 214, 1194, 6}}, {row, none, {10, 414, 1194, 6}}});
  add(LayoutType::topBottomSplit, {4},
      {{10, 20, 1194, 144}, {10, 170, 1194, 144}, {10, 320, 1194, 144}, {10, 470, 1194, 144}},
      {{row, none, {10, 164, 1194, 6}},
       {row, none, {10, 314, 1194, 6}},
       {row, none, {10, 464, 1194, 6}}});
  add(LayoutType::topBottomSplit, {5},
      {{10, 20, 1194, 114},
       {10, 140, 1194, 114},
       {10, 260, 1194, 114},
       {10, 380, 1194, 114},
       {10, 500, 1194, 114}},
      {{row, none, {10, 134, 1194, 6}},
       {row, none, {10, 254, 1194, 6}},
       {row, none, {10, 374, 1194, 6}},
       {row, none, {10, 494, 1194, 6}}});

  add(LayoutType::grid2x2, {2}, {{10, 20, 594, 594}, {610, 20, 594, 594}},
      {{col, 0, {604, 20, 6, 594}}});
  // Three panes: the bottom one is full width and the column gutter spans the top row only.
  add(LayoutType::grid2x2, {3}, {{10, 20, 594, 294}, {610, 20, 594, 294}, {10, 320, 1194, 294}},
      {{row, 1, {10, 314, 1194, 6}}, {col, 0, {604, 20, 6, 294}}});
  // Four or more: four cells; the column gutter spans the whole height.
  add(LayoutType::grid2x2, {4, 5},
      {{10, 20, 594, 294}, {610, 20, 594, 294}, {10, 320, 594, 294}, {610, 320, 594, 294}},
      {{row, 1, {10, 314, 1194, 6}}, {col, 0, {604, 20, 6, 594}}});

  // Main column 0.6 of 1188; the sidebar rows are equal and not draggable.
  add(LayoutType::mainSidebar, {2}, {{10, 20, 712.8, 594}, {728.8, 20, 475.2, 594}},
      {{col, 0, {722.8, 20, 6, 594}}});
  add(LayoutType::mainSidebar, {3},
      {{10, 20, 712.8, 594}, {728.8, 20, 475.2, 294}, {728.8, 320, 475.2, 294}},
      {{col, 0, {722.8, 20, 6, 594}}, {row, none, {728.8, 314, 475.2, 6}}});
  add(LayoutType::mainSidebar, {4},
      {{10, 20, 712.8, 594},
       {728.8, 20, 475.2, 194},
       {728.8, 220, 475.2, 194},
       {728.8, 420, 475.2, 194}},
      {{col, 0, {722.8, 20, 6, 594}},
       {row, none, {728.8, 214, 475.2, 6}},
       {row, none, {728.8, 414, 475.2, 6}}});
  add(LayoutType::mainSidebar, {5},
      {{10, 20, 712.8, 594},
       {728.8, 20, 475.2, 144},
       {728.8, 170, 475.2, 144},
       {728.8, 320, 475.2, 144},
       {728.8, 470, 475.2, 144}},
      {{col, 0, {722.8, 20, 6, 594}},
       {row, none, {728.8, 164, 475.2, 6}},
       {row, none, {728.8, 314, 475.2, 6}},
       {row, none, {728.8, 464, 475.2, 6}}});

  // The three-pane types ignore the count.
  add(LayoutType::threeTopTwoBottomOne, {1, 2, 3, 4, 5},
      {{10, 20, 594, 294}, {610, 20, 594, 294}, {10, 320, 1194, 294}},
      {{row, 0, {10, 314, 1194, 6}}, {col, 1, {604, 20, 6, 294}}});
  add(LayoutType::threeTopOneBottomTwo, {1, 2, 3, 4, 5},
      {{10, 20, 1194, 294}, {10, 320, 594, 294}, {610, 320, 594, 294}},
      {{row, 0, {10, 314, 1194, 6}}, {col, 1, {604, 320, 6, 294}}});
  add(LayoutType::threeLeftTwoRightOne, {1, 2, 3, 4, 5},
      {{10, 20, 594, 294}, {10, 320, 594, 294}, {610, 20, 594, 594}},
      {{col, 0, {604, 20, 6, 594}}, {row, 1, {10, 314, 594, 6}}});
  add(LayoutType::threeLeftOneRightTwo, {1, 2, 3, 4, 5},
      {{10, 20, 594, 594}, {610, 20, 594, 294}, {610, 320, 594, 294}},
      {{col, 0, {604, 20, 6, 594}}, {row, 1, {610, 314, 594, 6}}});
  // Three columns without ratios: (1194 − 6) / 3 on the left, the rest halved.
  add(LayoutType::threeColumns, {1, 2, 3, 4, 5},
      {{10, 20, 396, 594}, {412, 20, 393, 594}, {811, 20, 393, 594}},
      {{col, 0, {406, 20, 6, 594}}, {col, 1, {805, 20, 6, 594}}});
  return cases;
}

std::vector<Rect> gutterRects(const std::vector<Gutter>& gutters) {
  std::vector<Rect> out;
  for (const auto& g : gutters)
    out.push_back(g.rect);
  return out;
}

Rect mirrored(const Rect& r) {
  return {r.x, kContainer.minY() + kContainer.maxY() - r.maxY(), r.width, r.height};
}

TEST(LayoutEngine, EveryTypeAndCountInAXSpace) {
  for (const Case& c : allCases()) {
    SCOPED_TRACE(caseName(c));
    auto layout = Engine::paneLayout(c.type, kContainer, c.count, std::nullopt, kGutter, 0, true);
    EXPECT_TRUE(rectsNear(layout.frames, c.frames));
    EXPECT_TRUE(rectsNear(layout.appFrames, c.frames));
    EXPECT_TRUE(rectsNear(gutterRects(layout.gutters), gutterRects(c.gutters)));
    // Handles: one per draggable gutter, in gutter order; with the default thickness they
    // cover the gutter exactly.
    std::vector<Rect> handleRects, draggable;
    ASSERT_EQ(layout.gutters.size(), c.gutters.size());
    std::size_t h = 0;
    for (std::size_t i = 0; i < c.gutters.size(); ++i) {
      EXPECT_EQ(layout.gutters[i].axis, c.gutters[i].axis) << "gutter " << i;
      EXPECT_EQ(layout.gutters[i].ratioIndex, c.gutters[i].ratioIndex) << "gutter " << i;
      if (!c.gutters[i].ratioIndex) continue;
      ASSERT_LT(h, layout.handles.size());
      EXPECT_EQ(layout.handles[h].axis, c.gutters[i].axis);
      EXPECT_EQ(layout.handles[h].ratioIndex, *c.gutters[i].ratioIndex);
      handleRects.push_back(layout.handles[h].rect);
      draggable.push_back(c.gutters[i].rect);
      ++h;
    }
    EXPECT_EQ(h, layout.handles.size());
    EXPECT_TRUE(rectsNear(handleRects, draggable));
  }
}

TEST(LayoutEngine, CocoaSpaceIsTheMirrorImageWithPaneZeroStillOnTop) {
  for (const Case& c : allCases()) {
    SCOPED_TRACE(caseName(c));
    auto ax = Engine::paneLayout(c.type, kContainer, c.count, std::vector<double>{0.3, 0.7},
                                 kGutter, 2, true, 10);
    auto cocoa = Engine::paneLayout(c.type, kContainer, c.count, std::vector<double>{0.3, 0.7},
                                    kGutter, 2, false, 10);
    auto mirror = [](std::vector<Rect> v) {
      for (auto& r : v)
        r = mirrored(r);
      return v;
    };
    EXPECT_TRUE(rectsNear(cocoa.frames, mirror(ax.frames)));
    EXPECT_TRUE(rectsNear(cocoa.appFrames, mirror(ax.appFrames)));
    EXPECT_TRUE(rectsNear(gutterRects(cocoa.gutters), mirror(gutterRects(ax.gutters))));
    ASSERT_EQ(cocoa.handles.size(), ax.handles.size());
    for (std::size_t i = 0; i < ax.handles.size(); ++i) {
      EXPECT_TRUE(rectNear(cocoa.handles[i].rect, mirrored(ax.handles[i].rect)));
      EXPECT_EQ(cocoa.handles[i].ratioIndex, ax.handles[i].ratioIndex);
    }
  }
}

TEST(LayoutEngine, EmptyContainerOrNoPanesGivesEmptyLayout) {
  for (LayoutType t : kAllLayoutTypes) {
    SCOPED_TRACE(rawValue(t));
    EXPECT_EQ(Engine::paneLayout(t, {0, 0, 0, 500}, 2, std::nullopt, 6, 0, true),
              Engine::PaneLayout{});
    EXPECT_EQ(Engine::paneLayout(t, {0, 0, 500, 0}, 2, std::nullopt, 6, 0, true),
              Engine::PaneLayout{});
    EXPECT_EQ(Engine::paneLayout(t, {0, 0, 500, 500}, -1, std::nullopt, 6, 0, true),
              Engine::PaneLayout{});
  }
}

TEST(LayoutEngine, HandlesAreAtLeastTheThicknessAcrossCentredOnTheGutter) {
  auto layout = Engine::paneLayout(LayoutType::threeLeftTwoRightOne, kContainer, 3, std::nullopt,
                                   kGutter, 0, true, 20.0);
  ASSERT_EQ(layout.handles.size(), 2u);
  EXPECT_EQ(layout.handles[0], (Engine::SplitHandleSpec{col, 0, {597, 20, 20, 594}}));
  EXPECT_EQ(layout.handles[1], (Engine::SplitHandleSpec{row, 1, {10, 307, 594, 20}}));
  // A thickness below the gutter width never makes the handle narrower than the gutter.
  auto thin = Engine::paneLayout(LayoutType::leftRightSplit, kContainer, 2, std::nullopt, kGutter,
                                 0, true, 2.0);
  EXPECT_EQ(thin.handles.at(0).rect, (Rect{604, 20, 6, 594}));
}

TEST(LayoutEngine, AppFramesAreInsetOnEverySide) {
  auto layout =
      Engine::paneLayout(LayoutType::leftRightSplit, kContainer, 2, std::nullopt, kGutter, 4, true);
  EXPECT_TRUE(rectsNear(layout.appFrames, {{14, 24, 586, 586}, {614, 24, 586, 586}}));
  EXPECT_TRUE(rectsNear(layout.frames, {{10, 20, 594, 594}, {610, 20, 594, 594}}));
  // An inset larger than the pane leaves an empty frame at its centre, never a negative size.
  auto tiny =
      Engine::paneLayout(LayoutType::leftRightSplit, {0, 0, 26, 100}, 2, std::nullopt, 6, 20, true);
  EXPECT_EQ(tiny.appFrames.at(0), (Rect{5, 20, 0, 60}));
}

TEST(LayoutEngine, RatiosReachEverySplitClampedToFiveAndNinetyFivePercent) {
  struct RatioCase {
    LayoutType type;
    int count;
    std::vector<double> ratios;
    std::vector<Rect> frames;
  };
  const Rect c{0, 0, 1006, 506};  // 1000 × 500 left after one gutter
  const std::vector<RatioCase> cases = {
      {LayoutType::leftRightSplit, 2, {0.25}, {{0, 0, 250, 506}, {256, 0, 750, 506}}},
      {LayoutType::leftRightSplit, 2, {0.01}, {{0, 0, 50, 506}, {56, 0, 950, 506}}},
      {LayoutType::leftRightSplit, 2, {1.7}, {{0, 0, 950, 506}, {956, 0, 50, 506}}},
      // Three or more panes are equal whatever the ratio says.
      {LayoutType::leftRightSplit,
       3,
       {0.1},
       {{0, 0, 994.0 / 3, 506},
        {994.0 / 3 + 6, 0, 994.0 / 3, 506},
        {2 * (994.0 / 3 + 6), 0, 994.0 / 3, 506}}},
      {LayoutType::topBottomSplit, 2, {0.2}, {{0, 0, 1006, 100}, {0, 106, 1006, 400}}},
      // One column ratio moves both rows' boundary; ratio 1 is the top row's height.
      {LayoutType::grid2x2,
       4,
       {0.3, 0.8},
       {{0, 0, 300, 400}, {306, 0, 700, 400}, {0, 406, 300, 100}, {306, 406, 700, 100}}},
      {LayoutType::mainSidebar,
       3,
       {0.7, 0.9},
       {{0, 0, 700, 506}, {706, 0, 300, 250}, {706, 256, 300, 250}}},
      {LayoutType::threeTopOneBottomTwo,
       3,
       {0.2, 0.99},
       {{0, 0, 1006, 100}, {0, 106, 950, 400}, {956, 106, 50, 400}}},
      {LayoutType::threeColumns,
       3,
       {0.5, 0.25},
       {{0, 0, 500, 506}, {506, 0, 123.5, 506}, {635.5, 0, 370.5, 506}}},
      // A short list: the missing ratio takes its default.
      {LayoutType::threeLeftOneRightTwo,
       3,
       {0.4},
       {{0, 0, 400, 506}, {406, 0, 600, 250}, {406, 256, 600, 250}}},
  };
  for (const auto& rc : cases) {
    SCOPED_TRACE(std::string(rawValue(rc.type)) + "/" + std::to_string(rc.count));
    auto layout = Engine::paneLayout(rc.type, c, rc.count, rc.ratios, 6, 0, true);
    EXPECT_TRUE(rectsNear(layout.frames, rc.frames));
  }
}

TEST(LayoutEngine, GridColumnGutterFollowsRatioZeroAcrossTheWholeHeight) {
  auto layout = Engine::paneLayout(LayoutType::grid2x2, {0, 0, 1006, 506}, 4,
                                   std::vector<double>{0.3, 0.8}, 6, 0, false);
  EXPECT_EQ(layout.frames[0].maxX(), layout.frames[2].maxX());
  EXPECT_EQ(layout.gutters[1].rect, (Rect{300, 0, 6, 506}));
  // Cocoa space: the top row (ratio 1 of the height) sits at max y.
  EXPECT_EQ(layout.frames[0], (Rect{0, 106, 300, 400}));
}

TEST(LayoutEngine, RatioValueDefaultsPerTypeAndIgnoresUnusableValues) {
  const std::optional<std::vector<double>> none;
  EXPECT_EQ(Engine::ratioValue(none, 0, LayoutType::mainSidebar), 0.6);
  EXPECT_EQ(Engine::ratioValue(none, 0, LayoutType::threeColumns), 0.3333333333333333);
  EXPECT_EQ(Engine::ratioValue(none, 1, LayoutType::threeColumns), 0.5);
  EXPECT_EQ(Engine::ratioValue(none, 1, LayoutType::mainSidebar), 0.5);
  EXPECT_EQ(Engine::ratioValue(std::vector<double>{}, 0, LayoutType::grid2x2), 0.5);
  // Stored values pass unclamped; indexes outside the list take the default.
  EXPECT_EQ(Engine::ratioValue(std::vector<double>{0.01, 1.4}, 1, LayoutType::grid2x2), 1.4);
  EXPECT_EQ(Engine::ratioValue(std::vector<double>{0.2}, 1, LayoutType::grid2x2), 0.5);
  EXPECT_EQ(Engine::ratioValue(std::vector<double>{0.2}, -1, LayoutType::grid2x2), 0.5);
  // A NaN never reaches a frame.
  EXPECT_EQ(Engine::ratioValue(std::vector<double>{std::nan("")}, 0, LayoutType::mainSidebar), 0.6);
}

TEST(LayoutEngine, ClampSplitRatio) {
  struct C {
    double ratio, available, minPane, expected;
  };
  for (const C& c : std::vector<C>{
           {0.1, 1000, 320, 0.32},
           {0.9, 1000, 320, 0.68},
           {0.5, 1000, 320, 0.5},
           {0.7, 600, 320, 0.5},  // under 640: no room for two minimums
           {0.7, 0, 320, 0.5},    // nothing to split
           {0.7, -10, 320, 0.5},
           {0.2, 656, 320, 320.0 / 656},  // 16 points of travel: falls back to the 320 rule
           {0.9, 2000, 100, 0.9},
           {0.99, 2000, 100, 0.95},
           {std::nan(""), 1000, 320, 0.5},
       }) {
    SCOPED_TRACE(testing::Message() << c.ratio << " of " << c.available << " min " << c.minPane);
    EXPECT_NEAR(Engine::clampSplitRatio(c.ratio, c.available, c.minPane), c.expected, 1e-12);
  }
}

TEST(LayoutEngine, FrameSegments) {
  using S = Engine::Segment;
  EXPECT_EQ(Engine::frameSegments(100, 0, 6, 0.5), Engine::Segments{});
  EXPECT_EQ(Engine::frameSegments(100, 1, 6, 0.2), (Engine::Segments{{{0, 100}}, {}}));
  EXPECT_EQ(Engine::frameSegments(106, 2, 6, 0.25),
            (Engine::Segments{{S{0, 25}, S{31, 75}}, {S{25, 6}}}));
  EXPECT_EQ(Engine::frameSegments(112, 3, 6, 0.9),
            (Engine::Segments{
                {S{0, 100.0 / 3}, S{100.0 / 3 + 6, 100.0 / 3}, S{2 * (100.0 / 3 + 6), 100.0 / 3}},
                {S{100.0 / 3, 6}, S{100.0 / 3 + 6 + 100.0 / 3, 6}}}));
  // Gutters longer than the length leave empty panes rather than negative ones.
  auto squeezed = Engine::frameSegments(4, 2, 6, 0.5);
  EXPECT_EQ(squeezed.panes, (std::vector<S>{{0, 0}, {6, 0}}));
}

TEST(LayoutEngine, SpacedVariant) {
  const Rect c{0, 0, 1008, 508};
  EXPECT_EQ(Engine::segments(1008, 2, 8, 0.25),
            (std::vector<Engine::Segment>{{0, 250}, {258, 750}}));
  EXPECT_TRUE(rectsNear(Engine::grid(c, 3, 8, 0.5, 0.5),
                        {{0, 0, 500, 250}, {508, 0, 500, 250}, {0, 258, 1008, 250}}));
  EXPECT_EQ(Engine::grid(c, 7, 8, 0.5, 0.5).size(), 4u);
  EXPECT_EQ(Engine::grid(c, 1, 8, 0.5, 0.5), std::vector<Rect>{c});
  EXPECT_TRUE(rectsNear(Engine::mainSidebar(c, 3, 8, 0.6),
                        {{0, 0, 600, 508}, {608, 0, 400, 250}, {608, 258, 400, 250}}));
  EXPECT_EQ(Engine::mainSidebar(c, 1, 8, 0.6), std::vector<Rect>{c});
}

TEST(LayoutEngine, MatStripRectsAreTheGapsBetweenPanes) {
  const Rect c{0, 0, 100, 50};
  EXPECT_TRUE(Engine::matStripRects(c, {{0, 0, 50, 50}, {50, 0, 50, 50}}).empty());
  // A 3-point margin and a 6-point gutter.
  auto strips = Engine::matStripRects(c, {{3, 3, 44, 44}, {53, 3, 44, 44}});
  EXPECT_THAT(strips, testing::UnorderedElementsAre(Rect{0, 0, 3, 50}, Rect{47, 0, 6, 50},
                                                    Rect{97, 0, 3, 50}, Rect{3, 0, 44, 3},
                                                    Rect{3, 47, 44, 3}, Rect{53, 0, 44, 3},
                                                    Rect{53, 47, 44, 3}));
  // Slivers of half a point or less are dropped; panes outside the container change nothing.
  EXPECT_TRUE(Engine::matStripRects(c, {{0.4, 0, 100, 50}}).empty());
  EXPECT_EQ(Engine::matStripRects(c, {{200, 0, 10, 10}}), std::vector<Rect>{c});
}

TEST(LayoutEngine, ContentToFitApps) {
  const std::vector<Size> sizes{{700, 400}, {600, 500}};
  EXPECT_EQ(Engine::contentToFitApps(LayoutType::leftRightSplit, sizes, 6), (Size{1306, 500}));
  EXPECT_EQ(Engine::contentToFitApps(LayoutType::topBottomSplit, sizes, 6), (Size{700, 906}));
  EXPECT_EQ(Engine::contentToFitApps(LayoutType::grid2x2, {}, 6), (Size{0, 0}));
}

}  // namespace
}  // namespace zelvorn
