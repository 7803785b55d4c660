#include "Models/WorkspaceModels.h"

#include <gtest/gtest.h>

namespace zelvorn {
namespace {

ManagedApp makeApp(std::string name, std::string bundle) {
  ManagedApp a;
  a.id = Uuid::random();
  a.displayName = std::move(name);
  a.bundleIdentifier = std::move(bundle);
  return a;
}

TEST(Workspace, PrimaryAppFallsBackToBundleIdentifierThenFirstApp) {
  Workspace w;
  EXPECT_EQ(w.primaryApp(), std::nullopt);
  w.apps = {makeApp("A", "a"), makeApp("B", "b"), makeApp("C", "c")};

  struct Case {
    std::optional<Uuid> id;
    std::optional<std::string> bundle;
    std::string expected;
  } cases[] = {
      {w.apps[2].id, "b", "C"},       // the id wins
      {Uuid::random(), "b", "B"},     // stale id: bundle identifier
      {Uuid::random(), "gone", "A"},  // neither: the first app
      {std::nullopt, std::nullopt, "A"},
  };
  for (const auto& c : cases) {
    w.primaryAppID = c.id;
    w.primaryAppBundleIdentifier = c.bundle;
    ASSERT_TRUE(w.primaryApp());
    EXPECT_EQ(w.primaryApp()->displayName, c.expected);
  }
}

TEST(Workspace, HomeFrameNeedsAPresentFingerprintAndARealSize) {
  Workspace w;
  EXPECT_EQ(w.homeFrame("one"), std::nullopt);
  w.topologyFrames = std::map<std::string, RectModel>{
      {"one", {10, 20, 800, 600}}, {"flat", {0, 0, 800, 0}}, {"thin", {0, 0, 0, 600}}};
  EXPECT_EQ(w.homeFrame("one"), (AXRect{10, 20, 800, 600}));
  EXPECT_EQ(w.homeFrame("flat"), std::nullopt);
  EXPECT_EQ(w.homeFrame("thin"), std::nullopt);
  EXPECT_EQ(w.homeFrame("absent"), std::nullopt);
  EXPECT_EQ(w.homeFrame(std::nullopt), std::nullopt);
}

TEST(Workspace, AppsSummary) {
  Workspace w;
  EXPECT_EQ(w.appsSummary(), "No apps");
  w.apps = {makeApp("Mail", "m"), makeApp("Notes", "n")};
  EXPECT_EQ(w.appsSummary(), "Mail, Notes");
}

TEST(Layout, FoldingSwapsLiveAndParkedRatios) {
  Layout unfolded;
  unfolded.type = LayoutType::threeLeftOneRightTwo;
  unfolded.ratios = std::vector<double>{0.25, 0.6};
  unfolded.threeColumns = ThreeColumnsState{false, std::nullopt};
  unfolded.paneAssignments = std::map<std::string, std::string>{{"p", "q"}};

  Layout folded = unfolded.foldingThreeColumns(true);
  EXPECT_EQ(folded.ratios, (std::vector<double>{0.5, 0.5}));
  EXPECT_EQ(folded.threeColumns, (ThreeColumnsState{true, std::vector<double>{0.25, 0.6}}));
  EXPECT_EQ(folded.paneAssignments, unfolded.paneAssignments);
  EXPECT_EQ(folded.type, LayoutType::threeLeftOneRightTwo);

  Layout again = folded.foldingThreeColumns(false);
  EXPECT_EQ(again.ratios, (std::vector<double>{0.25, 0.6}));
  EXPECT_EQ(again.threeColumns, (ThreeColumnsState{false, std::vector<double>{0.5, 0.5}}));

  // Empty live ratios count as absent: the state parks the default of the arrangement it leaves.
  Layout emptyRatios = unfolded;
  emptyRatios.ratios = std::vector<double>{};
  EXPECT_EQ(emptyRatios.foldingThreeColumns(true).threeColumns->parkedRatios,
            Layout::threeColumnsDefaultRatios);
  Layout noParked = folded;
  noParked.threeColumns->parkedRatios.reset();
  EXPECT_EQ(noParked.foldingThreeColumns(false).ratios, Layout::threeColumnsDefaultRatios);
}

TEST(Layout, FoldingWithoutStateOrToTheSameSideChangesNothing) {
  Layout plain;
  plain.ratios = std::vector<double>{0.3};
  EXPECT_EQ(plain.foldingThreeColumns(true), plain);
  Layout folded;
  folded.threeColumns = ThreeColumnsState{true, std::vector<double>{0.2, 0.4}};
  EXPECT_EQ(folded.foldingThreeColumns(true), folded);
}

TEST(Layout, DisplayNameSaysThreeColumnsWheneverTheStateIsPresent) {
  Layout l;
  l.type = LayoutType::grid2x2;
  EXPECT_EQ(l.displayName(), "2 \u00D7 2 Grid");
  l.type = LayoutType::threeLeftOneRightTwo;
  EXPECT_EQ(l.displayName(), "1 Left / 2 Right");
  l.threeColumns = ThreeColumnsState{true, std::nullopt};
  EXPECT_EQ(l.displayName(), "Three Columns");
}

TEST(AppCompatibilityNotes, OneRowPerNotedBundleAtItsFirstApp) {
  auto rows = AppCompatibilityNotes::notes({makeApp("Mail", "com.apple.mail"),
                                            makeApp("Gemini", "com.google.GeminiMacOS"),
                                            makeApp("Gemini 2", "com.google.GeminiMacOS")});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].appName, "Gemini");
  EXPECT_EQ(rows[0].note.title, "Gemini can move its own window");
  EXPECT_TRUE(AppCompatibilityNotes::notes({makeApp("Mail", "com.apple.mail")}).empty());
}

}  // namespace
}  // namespace zelvorn
