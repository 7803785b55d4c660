#include "Core/AppRegistry.h"

#include <gtest/gtest.h>

#include "Core/ExternalAppController.h"
#include "Core/WorkspaceManager.h"
#include "Persistence/WorkspaceStore.h"
#include "Support/CapturingConsole.h"
#include "Support/SimWorld.h"

namespace zelvorn {
namespace {

struct AppRegistryTest : ::testing::Test {
  SimWorld world;
  AppRegistry registry{world.desktop.launchServices(), world.files};
  ExternalAppController apps{world.desktop.runningApps(), world.desktop.launchServices(), registry};

  ManagedApp made(const std::string& path) {
    auto r = registry.makeManagedApp(path);
    EXPECT_TRUE(r.ok()) << path;
    return r.value();
  }
};

TEST_F(AppRegistryTest, MakesAnAppFromABundleWithItsNameFallbacks) {
  auto mail = SimWorld::app("Mail", "com.example.mail");
  mail.bundlePath = "/Applications/Mail.APP";
  mail.displayName = "";
  mail.icon = Bytes{1, 2, 3};
  world.install(mail);
  auto bare = SimWorld::app("Bare", "com.example.bare");
  bare.name.reset();
  world.install(bare);
  auto shown = SimWorld::app("Shown", "com.example.shown");
  shown.displayName = "Shown Name";
  world.install(shown);

  ManagedApp app = made("/Applications/Mail.APP");
  EXPECT_EQ(app.displayName, "Mail");
  EXPECT_EQ(app.bundleIdentifier, "com.example.mail");
  EXPECT_EQ(app.appPath, "/Applications/Mail.APP");
  EXPECT_TRUE(app.appURLBookmark.has_value());
  EXPECT_EQ(app.iconData, (Bytes{1, 2, 3}));
  EXPECT_EQ(app.role, AppRole::secondary);
  EXPECT_FALSE(app.lastDocumentPath || app.preferredPaneId || app.observedMinSize);
  EXPECT_NE(app.id, made("/Applications/Mail.APP").id);
  EXPECT_EQ(made("/Applications/Bare.app").displayName, "Bare");
  EXPECT_EQ(made("/Applications/Shown.app").displayName, "Shown Name");
}

TEST_F(AppRegistryTest, RefusesWhatIsNotAnAppWithItsText) {
  auto noID = SimWorld::app("Odd", "");
  noID.bundleIdentifier.reset();
  world.install(noID);
  struct Case {
    std::string path;
    std::string text;
  } cases[] = {
      {"/Users/me/Notes.txt", "Notes.txt is not a Mac application."},
      {"/Applications/Odd.app", "Couldn't read a bundle identifier for Odd.app."},
      {"/Applications/Missing.app", "Couldn't read a bundle identifier for Missing.app."},
  };
  for (const auto& c : cases) {
    auto r = registry.makeManagedApp(c.path);
    ASSERT_FALSE(r.ok()) << c.path;
    EXPECT_EQ(r.error().description(), c.text);
  }
}

TEST_F(AppRegistryTest, ResolvesThroughBookmarkThenPathThenBundleIdentifier) {
  world.install(SimWorld::app("Notes", "com.example.notes"));
  ManagedApp app = made("/Applications/Notes.app");

  // The bookmark follows a moved bundle.
  world.desktop.moveBundle("/Applications/Notes.app", "/Apps/Notes.app");
  ASSERT_TRUE(world.files.removeFile("/Applications/Notes.app").ok());
  world.files.putFile("/Apps/Notes.app", "bundle");
  EXPECT_EQ(registry.resolveURL(app), "/Apps/Notes.app");

  // A bookmark to a deleted bundle falls through to the stored path when that exists.
  ASSERT_TRUE(world.files.removeFile("/Apps/Notes.app").ok());
  world.files.putFile("/Applications/Notes.app", "copy");
  EXPECT_EQ(registry.resolveURL(app), "/Applications/Notes.app");

  // Neither: the system's location for the identifier.
  ASSERT_TRUE(world.files.removeFile("/Applications/Notes.app").ok());
  EXPECT_EQ(registry.resolveURL(app), "/Apps/Notes.app");
  EXPECT_TRUE(registry.isInstalled(app));

  world.desktop.uninstall("/Apps/Notes.app");
  EXPECT_FALSE(registry.isInstalled(app));
}

TEST_F(AppRegistryTest, NoticesAChangedBundleIdentifier) {
  auto desc = SimWorld::app("Editor", "com.example.editor");
  desc.icon = Bytes{9};
  world.install(desc);
  ManagedApp app = made("/Applications/Editor.app");
  app.lastDocumentPath = "/Users/me/a.txt";
  EXPECT_EQ(registry.migratedForChangedBundleID(app), std::nullopt);

  world.desktop.uninstall("/Applications/Editor.app");
  desc.bundleIdentifier = "com.example.editor2";
  world.install(desc);
  auto migrated = registry.migratedForChangedBundleID(app);
  ASSERT_TRUE(migrated);
  EXPECT_EQ(migrated->bundleIdentifier, "com.example.editor2");
  EXPECT_EQ(migrated->id, app.id);
  EXPECT_EQ(migrated->displayName, app.displayName);
  EXPECT_EQ(migrated->lastDocumentPath, app.lastDocumentPath);
  EXPECT_EQ(migrated->appPath, "/Applications/Editor.app");

  // Gone from disk: nothing to migrate, even though the system could find the identifier.
  ASSERT_TRUE(world.files.removeFile("/Applications/Editor.app").ok());
  EXPECT_EQ(registry.migratedForChangedBundleID(app), std::nullopt);
}

TEST_F(AppRegistryTest, TheManagerRepairsAChangedBundleIdentifierAtLoad) {
  auto desc = SimWorld::app("Editor", "com.example.editor");
  world.install(desc);
  Uuid paneID;
  {
    WorkspaceManager manager(std::make_unique<WorkspaceStore>(world.files, "/Zelvorn"), &registry);
    Workspace w = manager.createWorkspace("Docs");
    w.apps.push_back(made("/Applications/Editor.app"));
    paneID = w.apps[0].id;
    manager.update(w);
  }
  world.desktop.uninstall("/Applications/Editor.app");
  desc.bundleIdentifier = "com.example.editor.v2";
  world.install(desc);

  WorkspaceManager reloaded(std::make_unique<WorkspaceStore>(world.files, "/Zelvorn"), &registry);
  ASSERT_EQ(reloaded.workspaces().size(), 1u);
  const auto& app = reloaded.workspaces()[0].apps.at(0);
  EXPECT_EQ(app.bundleIdentifier, "com.example.editor.v2");
  EXPECT_EQ(app.id, paneID);
}

TEST_F(AppRegistryTest, RunningApplicationPrefersARegularInstance) {
  auto helper = SimWorld::app("Helper", "com.example.tool");
  helper.activationPolicy = ActivationPolicy::accessory;
  world.install(helper);
  world.install(SimWorld::app("Tool", "com.example.tool"));
  EXPECT_EQ(apps.runningApplication("com.example.tool"), std::nullopt);

  auto& ls = world.desktop.launchServices();
  ls.openApplication("/Applications/Helper.app", {}, false, [](Result<RunningApp>) {});
  world.loop.runUntilIdle();
  auto first = apps.runningApplication("com.example.tool");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->activationPolicy, ActivationPolicy::accessory);

  ls.openApplication("/Applications/Tool.app", {}, false, [](Result<RunningApp>) {});
  world.loop.runUntilIdle();
  auto regular = apps.runningApplication("com.example.tool");
  ASSERT_TRUE(regular);
  EXPECT_EQ(regular->localizedName, "Tool");
}

TEST_F(AppRegistryTest, LaunchesWithoutTakingFocusAndReportsFailures) {
  CapturingConsole console;
  world.install(SimWorld::app("Notes", "com.example.notes"));
  auto broken = SimWorld::app("Broken", "com.example.broken");
  broken.launchError = Error{-10810, "The application could not be launched."};
  world.install(broken);
  ManagedApp notes = made("/Applications/Notes.app");
  ManagedApp brokenApp = made("/Applications/Broken.app");
  ManagedApp ghost = notes;
  ghost.displayName = "Ghost";
  ghost.bundleIdentifier = "com.example.ghost";
  ghost.appPath = "/Applications/Ghost.app";
  ghost.appURLBookmark.reset();

  std::vector<std::string> outcomes;
  auto collect = [&](ExternalAppController::LaunchResult r) {
    outcomes.push_back(r ? "ok " + *r.value().localizedName : r.error().description());
  };
  apps.launch(ghost, collect);
  ASSERT_EQ(outcomes.size(), 1u) << "a missing app fails at once";
  apps.launch(notes, {"/Users/me/todo.txt"}, collect);
  apps.launch(brokenApp, collect);
  world.loop.runUntilIdle();

  EXPECT_EQ(outcomes, (std::vector<std::string>{
                          "Ghost is not installed or cannot be found.",
                          "ok Notes",
                          "Zelvorn couldn't launch Broken: The application could not be launched.",
                      }));
  auto pid = apps.runningApplication("com.example.notes")->pid;
  EXPECT_NE(world.desktop.frontmostPid(), pid);
  ASSERT_EQ(world.desktop.windows(pid).size(), 1u);
  EXPECT_EQ(world.desktop.window(world.desktop.windows(pid)[0])->desc.document,
            "file:///Users/me/todo.txt");

  apps.reopen(brokenApp);
  world.loop.runUntilIdle();
  EXPECT_TRUE(console.contains(
      "[Zelvorn] Broken: reopen failed — The application could not be launched.."));
}

}  // namespace
}  // namespace zelvorn
