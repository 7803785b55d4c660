// Workspaces made from application names on a command line: found by identifier or path, laid out
// as usual for their number, and refused whole (nothing added) when anything is wrong.
#include "Core/WorkspaceFromApps.h"

#include <gtest/gtest.h>

#include "Support/ShowWorld.h"

namespace zelvorn {
namespace {

struct WorkspaceFromAppsTest : ::testing::Test {
  ShowWorld world;
  WorkspaceFromAppsTest() {
    for (const char* name : {"Notes", "Mail", "Editor", "Terminal"})
      world.installApp(name);
  }
  Result<Workspace> add(std::string_view name, const std::vector<std::string>& apps,
                        std::optional<LayoutType> layout = std::nullopt) {
    return WorkspaceFromApps::add(world.manager, world.registry, world.desktop.launchServices(),
                                  name, apps, layout);
  }
};

TEST_F(WorkspaceFromAppsTest, FindsAppsByIdentifierOrPathAndLaysThemOutAsUsual) {
  auto pair = add("Work", {"com.example.notes", "/Applications/Mail.app"});
  ASSERT_TRUE(pair.ok()) << pair.error().description;
  EXPECT_EQ(pair.value().name, "Work");
  ASSERT_EQ(pair.value().apps.size(), 2u);
  EXPECT_EQ(pair.value().apps[0].displayName, "Notes");
  EXPECT_EQ(pair.value().apps[1].displayName, "Mail");
  EXPECT_EQ(pair.value().primaryAppID, pair.value().apps[0].id);
  EXPECT_EQ(pair.value().layout.type, LayoutType::leftRightSplit);
  EXPECT_EQ(world.manager.workspace(pair.value().id), pair.value());

  // An identifier that ends in the application extension may be given without it (as
  // "xterm.desktop" may be "xterm"); three apps make three columns, four a grid.
  world.installApp("Viewer", [](SimAppSpec& s) { s.bundleIdentifier = "org.example.viewer.app"; });
  auto three = add("Work", {"org.example.viewer", "com.example.mail", "com.example.editor"});
  ASSERT_TRUE(three.ok()) << three.error().description;
  EXPECT_NE(three.value().name, "Work");  // made unique
  EXPECT_TRUE(three.value().layout.threeColumns) << "a three-column workspace";
  auto four = add("Four", {"com.example.notes", "com.example.mail", "com.example.editor",
                           "com.example.terminal"});
  ASSERT_TRUE(four.ok());
  EXPECT_EQ(four.value().layout.type, LayoutType::grid2x2);
  auto side = add("Side", {"com.example.notes", "com.example.mail", "com.example.editor"},
                  LayoutType::mainSidebar);
  ASSERT_TRUE(side.ok());
  EXPECT_EQ(side.value().layout.type, LayoutType::mainSidebar);
}

TEST_F(WorkspaceFromAppsTest, AnythingWrongAddsNothing) {
  struct Case {
    std::vector<std::string> apps;
    std::optional<LayoutType> layout;
    std::string error;
  };
  const Case cases[] = {
      {{"com.example.notes"}, std::nullopt, "A workspace has two to four apps; 1 was given."},
      {{"com.example.notes", "com.example.mail", "com.example.editor", "com.example.terminal",
        "com.example.notes"},
       std::nullopt,
       "A workspace has two to four apps; 5 were given."},
      {{"com.example.notes", "com.example.nothing"},
       std::nullopt,
       "No installed application “com.example.nothing”."},
      {{"com.example.notes", "com.example.mail"},
       LayoutType::grid2x2,
       "The “2 × 2 Grid” layout tiles 4 apps; 2 were given."},
  };
  for (const auto& c : cases) {
    auto result = add("Broken", c.apps, c.layout);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().description, c.error);
  }
  EXPECT_TRUE(world.manager.workspaces().empty());
}

}  // namespace
}  // namespace zelvorn
