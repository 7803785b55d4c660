#include "Core/WorkspaceManager.h"

#include <gtest/gtest.h>

#include <map>

#include "App/Log.h"
#include "Persistence/WorkspaceCodec.h"
#include "Sim/InMemoryFileSystem.h"

namespace zelvorn {
namespace {

const std::string kDir = "/home/me/Library/Application Support/Zelvorn";
const std::string kFile = kDir + "/workspaces.json";

std::vector<std::string> loggedLines() {
  std::vector<std::string> out;
  for (const auto& line : Log::recentLines())
    out.push_back(line.substr(line.find(' ') + 1));
  return out;
}

// The app registry as the repairs see it: a little disk of app bundles.
struct FakeRepairs final : IAppRepairServices {
  std::map<std::string, std::string> bookmarks;  // bookmark text → path
  std::set<std::string> existingFiles;
  std::map<std::string, std::string> installed;       // bundle id → path
  std::set<std::string> iconlessPaths;                // iconPNG fails there
  std::map<std::string, std::string> renamedBundles;  // old bundle id → new one
  std::vector<std::string> iconRequests;

  std::optional<std::string> resolveBookmark(const Bytes& bookmark) override {
    auto it = bookmarks.find(std::string(bookmark.begin(), bookmark.end()));
    if (it == bookmarks.end()) return std::nullopt;
    return it->second;
  }
  bool fileExists(const std::string& path) override { return existingFiles.count(path) > 0; }
  std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override {
    auto it = installed.find(bundleIdentifier);
    if (it == installed.end()) return std::nullopt;
    return it->second;
  }
  std::optional<Bytes> iconPNG(const std::string& appPath, int side) override {
    iconRequests.push_back(appPath + "@" + std::to_string(side));
    if (iconlessPaths.count(appPath)) return std::nullopt;
    return Bytes(appPath.begin(), appPath.end());
  }
  std::optional<ManagedApp> migratedForChangedBundleID(const ManagedApp& app) override {
    auto it = renamedBundles.find(app.bundleIdentifier);
    if (it == renamedBundles.end()) return std::nullopt;
    ManagedApp fresh = app;
    fresh.bundleIdentifier = it->second;
    fresh.displayName = app.displayName + " (new)";
    return fresh;
  }
};

ManagedApp makeApp(std::string name, AppRole role = AppRole::secondary) {
  ManagedApp a;
  a.id = Uuid::random();
  a.displayName = name;
  a.bundleIdentifier = "com.example." + name;
  a.role = role;
  return a;
}

class WorkspaceManagerTest : public testing::Test {
 protected:
  void SetUp() override { Log::configure({}); }

  std::unique_ptr<WorkspaceManager> makeManager() {
    auto store = std::make_unique<WorkspaceStore>(fs, kDir, [] { return WallTime{1796990400}; });
    return std::make_unique<WorkspaceManager>(std::move(store), &repairs);
  }
  WorkspaceManager& manager() {
    if (!manager_) manager_ = makeManager();
    return *manager_;
  }
  int saves() { return fs.atomicWriteCount(kFile); }
  std::vector<Workspace> onDisk() {
    auto text = fs.contents(kFile);
    if (!text) return {};
    auto decoded = WorkspaceCodec::decode(*text);
    EXPECT_TRUE(decoded.ok());
    return decoded.ok() ? decoded.value() : std::vector<Workspace>{};
  }
  // A workspace with three apps, the first primary, already saved once.
  Workspace seeded() {
    auto w = manager().createWorkspace("Work");
    for (auto name : {"A", "B", "C"})
      manager().addApp(makeApp(name), w.id);
    return *manager().workspace(w.id);
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const auto& w : manager().workspaces())
      out.push_back(w.name);
    return out;
  }

  InMemoryFileSystem fs;
  FakeRepairs repairs;
  std::unique_ptr<WorkspaceManager> manager_;
};

TEST_F(WorkspaceManagerTest, NewWorkspacesGetUniqueTrimmedNamesAndAreSaved) {
  auto first = manager().createWorkspace("  \n");
  EXPECT_EQ(first.name, "New Workspace");
  EXPECT_EQ(first.layout, Layout{});
  EXPECT_TRUE(first.isEnabled);
  EXPECT_TRUE(first.apps.empty());
  EXPECT_EQ(manager().createWorkspace("").name, "New Workspace 2");
  EXPECT_EQ(manager().createWorkspace("\u00A0New Workspace\t").name, "New Workspace 3");
  manager().renameWorkspace(first.id, "Work");
  EXPECT_EQ(manager().createWorkspace("").name, "New Workspace");
  EXPECT_EQ(manager().uniqueName("new workspace"), "new workspace");  // case-sensitive
  EXPECT_EQ(saves(), 5);
  EXPECT_EQ(onDisk(), manager().workspaces());
  EXPECT_EQ(names(), (std::vector<std::string>{"Work", "New Workspace 2", "New Workspace 3",
                                               "New Workspace"}));
}

TEST_F(WorkspaceManagerTest, RenameTrimsAndAllowsDuplicates) {
  auto a = manager().createWorkspace("A");
  manager().createWorkspace("B");
  manager().renameWorkspace(a.id, "  B \n");
  EXPECT_EQ(names(), (std::vector<std::string>{"B", "B"}));
  EXPECT_EQ(saves(), 3);
}

TEST_F(WorkspaceManagerTest, OperationsThatFindNothingToChangeSaveNothing) {
  auto w = seeded();
  manager().setThreeColumns(true, w.id);
  auto target = *manager().workspace(w.id);
  const Uuid appA = target.apps[0].id;
  const Uuid appC = target.apps[2].id;
  const Uuid nobody = Uuid::random();
  manager().setLastDocument("/doc.txt", appA);

  struct Case {
    const char* what;
    std::function<void(WorkspaceManager&)> op;
  } cases[] = {
      {"rename to blank", [&](auto& m) { m.renameWorkspace(w.id, " \t\n"); }},
      {"rename to the same name", [&](auto& m) { m.renameWorkspace(w.id, "Work"); }},
      {"rename unknown", [&](auto& m) { m.renameWorkspace(nobody, "X"); }},
      {"delete unknown", [&](auto& m) { m.deleteWorkspace(nobody); }},
      {"update unknown",
       [&](auto& m) {
         Workspace other = target;
         other.id = nobody;
         m.update(other);
       }},
      {"same last document", [&](auto& m) { EXPECT_FALSE(m.setLastDocument("/doc.txt", appA)); }},
      {"last document of unknown pane",
       [&](auto& m) { EXPECT_FALSE(m.setLastDocument("/x", nobody)); }},
      {"add to unknown", [&](auto& m) { m.addApp(makeApp("D"), nobody); }},
      {"remove from unknown", [&](auto& m) { m.removeApp(appA, nobody); }},
      {"move first up", [&](auto& m) { m.moveApp(appA, w.id, -1); }},
      {"move last down", [&](auto& m) { m.moveApp(appC, w.id, 1); }},
      {"move unknown app", [&](auto& m) { m.moveApp(nobody, w.id, 1); }},
      {"primary unknown app", [&](auto& m) { m.setPrimaryApp(nobody, w.id); }},
      {"same layout type",
       [&](auto& m) { m.setLayoutType(LayoutType::threeLeftOneRightTwo, w.id); }},
      {"three columns already on", [&](auto& m) { m.setThreeColumns(true, w.id); }},
      {"three columns on unknown", [&](auto& m) { m.setThreeColumns(true, nobody); }},
      {"active unchanged", [&](auto& m) { m.setActiveWorkspace(std::nullopt); }},
  };
  const auto before = manager().workspaces();
  const int savesBefore = saves();
  int notifications = 0;
  auto sub = manager().workspacesPublisher().subscribe([&](const auto&) { ++notifications; });
  for (const auto& c : cases) {
    c.op(manager());
    EXPECT_EQ(saves(), savesBefore) << c.what;
    EXPECT_EQ(manager().workspaces(), before) << c.what;
  }
  EXPECT_EQ(notifications, 0);
  EXPECT_TRUE(loggedLines().empty());
}

TEST_F(WorkspaceManagerTest, ThePointersFollowActivationAndDeletion) {
  auto a = manager().createWorkspace("Alpha");
  auto b = manager().createWorkspace("Beta");
  std::vector<std::optional<Uuid>> lastShownSeen;
  auto sub = manager().lastShownWorkspaceIDPublisher().subscribe(
      [&](const auto& v) { lastShownSeen.push_back(v); });
  const int savesBefore = saves();

  manager().setActiveWorkspace(a.id);
  manager().setActiveWorkspace(std::nullopt);
  EXPECT_EQ(manager().activeWorkspaceID(), std::nullopt);
  EXPECT_EQ(manager().lastShownWorkspaceID(), a.id);
  manager().setActiveWorkspace(b.id);
  manager().setActiveWorkspace(b.id);
  EXPECT_EQ(saves(), savesBefore);
  EXPECT_EQ(loggedLines(), (std::vector<std::string>{
                               "[Zelvorn] Active workspace changed: none \u2192 Alpha",
                               "[Zelvorn] Active workspace changed: Alpha \u2192 none",
                               "[Zelvorn] Active workspace changed: none \u2192 Beta",
                           }));
  EXPECT_EQ(lastShownSeen, (std::vector<std::optional<Uuid>>{a.id, b.id}));

  manager().deleteWorkspace(a.id);  // names neither pointer
  EXPECT_EQ(manager().activeWorkspaceID(), b.id);
  manager().deleteWorkspace(b.id);
  EXPECT_EQ(manager().activeWorkspaceID(), std::nullopt);
  EXPECT_EQ(manager().lastShownWorkspaceID(), std::nullopt);
  EXPECT_EQ(saves(), savesBefore + 2);
  EXPECT_TRUE(onDisk().empty());
  EXPECT_EQ(manager().name(b.id), b.id.string());
  EXPECT_EQ(manager().name(std::nullopt), "none");
}

TEST_F(WorkspaceManagerTest, TheFirstAppBecomesPrimaryAndStaysSo) {
  auto w = manager().createWorkspace("W");
  auto a = makeApp("A");
  manager().addApp(a, w.id);
  manager().addApp(makeApp("B"), w.id);
  auto now = *manager().workspace(w.id);
  EXPECT_EQ(now.primaryAppID, a.id);
  EXPECT_EQ(now.primaryAppBundleIdentifier, "com.example.A");
  EXPECT_EQ(now.apps[0].role, AppRole::primary);
  EXPECT_EQ(now.apps[1].role, AppRole::secondary);
  EXPECT_EQ(saves(), 3);
}

TEST_F(WorkspaceManagerTest, RemovingAppsRewritesRolesOnlyWhenThePrimaryGoes) {
  struct Case {
    std::size_t removed;
    std::vector<std::string> names;
    std::vector<AppRole> roles;
    std::optional<std::string> primaryBundle;
  } cases[] = {
      {0, {"B", "C"}, {AppRole::primary, AppRole::secondary}, "com.example.B"},
      {2, {"A", "B"}, {AppRole::primary, AppRole::secondary}, "com.example.A"},
  };
  for (const auto& c : cases) {
    auto w = seeded();
    const int before = saves();
    manager().removeApp(w.apps[c.removed].id, w.id);
    auto now = *manager().workspace(w.id);
    std::vector<std::string> names;
    std::vector<AppRole> roles;
    for (const auto& app : now.apps) {
      names.push_back(app.displayName);
      roles.push_back(app.role);
    }
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(roles, c.roles);
    EXPECT_EQ(now.primaryAppBundleIdentifier, c.primaryBundle);
    EXPECT_EQ(now.primaryApp()->displayName, c.names[0]);
    EXPECT_EQ(saves(), before + 1);
  }
  // Removing an id that is not there still saves; removing the last app clears the primary.
  auto w = manager().createWorkspace("Solo");
  auto only = makeApp("Only");
  manager().addApp(only, w.id);
  const int before = saves();
  manager().removeApp(Uuid::random(), w.id);
  manager().removeApp(only.id, w.id);
  EXPECT_EQ(saves(), before + 2);
  EXPECT_EQ(manager().workspace(w.id)->primaryAppID, std::nullopt);
  EXPECT_EQ(manager().workspace(w.id)->primaryAppBundleIdentifier, std::nullopt);
}

TEST_F(WorkspaceManagerTest, MovingAndChoosingThePrimaryApp) {
  auto w = seeded();
  manager().moveApp(w.apps[0].id, w.id, 2);
  auto now = *manager().workspace(w.id);
  EXPECT_EQ(now.apps[0].displayName, "C");
  EXPECT_EQ(now.apps[2].displayName, "A");
  EXPECT_EQ(now.apps[2].role, AppRole::primary);  // moving keeps roles

  manager().setPrimaryApp(w.apps[1].id, w.id);
  now = *manager().workspace(w.id);
  EXPECT_EQ(now.primaryAppID, w.apps[1].id);
  EXPECT_EQ(now.primaryAppBundleIdentifier, "com.example.B");
  for (const auto& app : now.apps)
    EXPECT_EQ(app.role, app.displayName == "B" ? AppRole::primary : AppRole::secondary);
  EXPECT_EQ(now.apps[0].displayName, "C");
}

TEST_F(WorkspaceManagerTest, ChangingTheLayoutTypeForgetsLearnedGeometryOnly) {
  auto w = seeded();
  w.apps[0].observedMinSize = SizeModel{400, 300};
  w.lastContainerFrame = RectModel{0, 25, 1440, 875};
  w.topologyFrames = std::map<std::string, RectModel>{{"T", {0, 25, 1440, 875}}};
  w.savedLayout = LayoutCheckpoint{{0, 0, 100, 100}, std::nullopt};
  w.layout.ratios = std::vector<double>{0.3};
  w.layout.splitTree = SplitNode::app("x");
  w.layout.paneAssignments = std::map<std::string, std::string>{{"a", "b"}};
  w.layout.threeColumns = ThreeColumnsState{true, std::nullopt};
  manager().update(w);
  manager().setLayoutType(LayoutType::grid2x2, w.id);

  auto now = *manager().workspace(w.id);
  EXPECT_EQ(now.layout.type, LayoutType::grid2x2);
  EXPECT_EQ(now.layout.threeColumns, std::nullopt);
  EXPECT_EQ(now.apps[0].observedMinSize, std::nullopt);
  EXPECT_EQ(now.lastContainerFrame, std::nullopt);
  EXPECT_EQ(now.topologyFrames, std::nullopt);
  EXPECT_EQ(now.savedLayout, std::nullopt);
  EXPECT_EQ(now.layout.ratios, w.layout.ratios);
  EXPECT_EQ(now.layout.splitTree, w.layout.splitTree);
  EXPECT_EQ(now.layout.paneAssignments, w.layout.paneAssignments);
  EXPECT_EQ(onDisk(), manager().workspaces());
}

TEST_F(WorkspaceManagerTest, ThreeColumnsOnAndOff) {
  auto w = seeded();
  w.layout.type = LayoutType::threeLeftTwoRightOne;
  w.lastContainerFrame = RectModel{0, 25, 1440, 875};
  manager().update(w);
  const int before = saves();

  manager().setThreeColumns(true, w.id);
  auto on = manager().workspace(w.id)->layout;
  EXPECT_EQ(on.type, LayoutType::threeLeftOneRightTwo);
  EXPECT_EQ(on.ratios, Layout::threeColumnsDefaultRatios);
  EXPECT_EQ(on.threeColumns, (ThreeColumnsState{false, Layout::oneLeftTwoRightDefaultRatios}));
  EXPECT_EQ(manager().workspace(w.id)->lastContainerFrame, std::nullopt);
  EXPECT_EQ(on.displayName(), "Three Columns");

  manager().setThreeColumns(false, w.id);
  auto off = manager().workspace(w.id)->layout;
  EXPECT_EQ(off.type, LayoutType::threeLeftOneRightTwo);
  EXPECT_EQ(off.ratios, (std::vector<double>{0.5, 0.5}));
  EXPECT_EQ(off.threeColumns, std::nullopt);
  manager().setThreeColumns(false, w.id);
  EXPECT_EQ(saves(), before + 2);

  // Already "1 Left / 2 Right": remembered geometry survives turning three columns on.
  auto frame = RectModel{1, 2, 3, 4};
  auto kept = *manager().workspace(w.id);
  kept.lastContainerFrame = frame;
  manager().update(kept);
  manager().setThreeColumns(true, w.id);
  EXPECT_EQ(manager().workspace(w.id)->lastContainerFrame, frame);
}

TEST_F(WorkspaceManagerTest, LastDocumentIsStoredOnTheFirstMatchingPane) {
  auto w = seeded();
  EXPECT_TRUE(manager().setLastDocument("/Users/me/notes.txt", w.apps[1].id));
  EXPECT_EQ(manager().workspace(w.id)->apps[1].lastDocumentPath, "/Users/me/notes.txt");
  EXPECT_EQ(onDisk(), manager().workspaces());
}

TEST_F(WorkspaceManagerTest, UpdateRefusesNonFiniteGeometryAndKeepsThePreviousValues) {
  auto w = seeded();
  w.lastContainerFrame = RectModel{0, 25, 1440, 875};
  w.topologyFrames = std::map<std::string, RectModel>{{"T", {0, 25, 1440, 875}}};
  w.layout.ratios = std::vector<double>{0.4};
  w.apps[1].observedMinSize = SizeModel{300, 200};
  manager().update(w);
  EXPECT_TRUE(loggedLines().empty());

  Workspace bad = w;
  bad.name = "Work";
  bad.lastContainerFrame->x = NAN;
  (*bad.topologyFrames)["T"].height = INFINITY;
  (*bad.topologyFrames)["New"] = RectModel{NAN, 0, 1, 1};
  (*bad.topologyFrames)["Fine"] = RectModel{5, 5, 5, 5};
  bad.layout.ratios = std::vector<double>{0.5, NAN};
  bad.layout.splitTree = SplitNode::split(SplitDirection::horizontal, NAN, {});
  bad.apps[1].observedMinSize = SizeModel{INFINITY, 1};
  bad.apps[2].observedMinSize = SizeModel{NAN, 1};
  bad.savedLayout = LayoutCheckpoint{{0, 0, 1, 1}, std::vector<double>{INFINITY}};
  const int before = saves();
  manager().update(bad);

  auto now = *manager().workspace(w.id);
  EXPECT_EQ(now.lastContainerFrame, w.lastContainerFrame);
  EXPECT_EQ(now.topologyFrames,
            (std::map<std::string, RectModel>{{"T", {0, 25, 1440, 875}}, {"Fine", {5, 5, 5, 5}}}));
  EXPECT_EQ(now.layout.ratios, w.layout.ratios);
  EXPECT_EQ(now.layout.splitTree, std::nullopt);
  EXPECT_EQ(now.apps[1].observedMinSize, w.apps[1].observedMinSize);
  EXPECT_EQ(now.apps[2].observedMinSize, std::nullopt);
  EXPECT_EQ(now.savedLayout, std::nullopt);
  EXPECT_EQ(saves(), before + 1);
  EXPECT_EQ(onDisk(), manager().workspaces());
  EXPECT_EQ(loggedLines(),
            std::vector<std::string>{
                "[Zelvorn] Refused non-finite geometry for workspace Work (lastContainerFrame, "
                "topologyFrames, savedLayout, ratios, splitTree, observedMinSize); kept the "
                "previous values."});

  // A new app with a non-finite size comes in without it.
  auto odd = makeApp("D");
  odd.observedMinSize = SizeModel{NAN, NAN};
  manager().addApp(odd, w.id);
  EXPECT_EQ(manager().workspace(w.id)->apps.back().observedMinSize, std::nullopt);
  EXPECT_EQ(saves(), before + 2);
}

TEST_F(WorkspaceManagerTest, EveryChangeNotifiesOnceWithTheNewList) {
  std::vector<std::size_t> sizes;
  auto sub = manager().workspacesPublisher().subscribe(
      [&](const std::vector<Workspace>& list) { sizes.push_back(list.size()); });
  auto w = manager().createWorkspace("A");
  manager().addApp(makeApp("X"), w.id);
  manager().deleteWorkspace(w.id);
  EXPECT_EQ(sizes, (std::vector<std::size_t>{1, 1, 0}));
  sub.reset();
  manager().createWorkspace("B");
  EXPECT_EQ(sizes.size(), 3u);
}

TEST_F(WorkspaceManagerTest, LoadingReadsTheFileAndAMissingFileIsQuietlyEmpty) {
  EXPECT_TRUE(manager().workspaces().empty());
  EXPECT_TRUE(loggedLines().empty());
  auto w = seeded();
  auto again = makeManager();
  EXPECT_EQ(again->workspaces(), manager().workspaces());
  EXPECT_EQ(again->activeWorkspaceID(), std::nullopt);
}

TEST_F(WorkspaceManagerTest, AnUnreadableFileStartsEmptyAndIsKeptAsideAtTheFirstSave) {
  const std::string bad =
      R"([{"apps":[],"id":"x","isEnabled":true,"layout":{"type":"a"},"name":"W"}])";
  fs.putFile(kFile, bad);
  EXPECT_TRUE(manager().workspaces().empty());
  EXPECT_EQ(loggedLines(), std::vector<std::string>{"[Zelvorn] Failed to load workspaces "
                                                    "(workspaces[0].id: \"x\" is not a UUID); "
                                                    "starting empty."});
  EXPECT_EQ(fs.contents(kFile), bad);
  manager().createWorkspace("Fresh");
  EXPECT_EQ(fs.contents(kFile + ".unreadable-20261211T120000Z"), bad);
  EXPECT_EQ(onDisk(), manager().workspaces());
}

TEST_F(WorkspaceManagerTest, OversizedIconsAreRemadeFromTheFirstPlaceThatWorks) {
  const Bytes big(200001, 7);
  struct Case {
    const char* what;
    std::function<void(ManagedApp&)> setUp;
    std::optional<std::string> icon;  // the path it was made from; none: cleared
  } cases[] = {
      {"bookmark",
       [&](ManagedApp& a) {
         a.appURLBookmark = Bytes{'b', 'm'};
         a.appPath = "/Old/A.app";
         repairs.bookmarks["bm"] = "/Moved/A.app";
         repairs.existingFiles = {"/Moved/A.app", "/Old/A.app"};
       },
       "/Moved/A.app"},
      {"bookmark to nothing, then the stored path",
       [&](ManagedApp& a) {
         a.appURLBookmark = Bytes{'b', 'm'};
         a.appPath = "/Old/A.app";
         repairs.bookmarks["bm"] = "/Gone/A.app";
         repairs.existingFiles = {"/Old/A.app"};
       },
       "/Old/A.app"},
      {"where the system finds the bundle",
       [&](ManagedApp& a) {
         a.appPath = "/Old/A.app";
         repairs.installed[a.bundleIdentifier] = "/Applications/A.app";
       },
       "/Applications/A.app"},
      {"nowhere", [](ManagedApp&) {}, std::nullopt},
      {"the icon cannot be made",
       [&](ManagedApp& a) {
         a.appPath = "/Old/A.app";
         repairs.existingFiles = {"/Old/A.app"};
         repairs.iconlessPaths = {"/Old/A.app"};
       },
       std::nullopt},
  };
  for (const auto& c : cases) {
    repairs = FakeRepairs{};
    fs = InMemoryFileSystem{};
    ManagedApp oversized = makeApp("A");
    oversized.iconData = big;
    c.setUp(oversized);
    ManagedApp exact = makeApp("B");
    exact.iconData = Bytes(200000, 1);
    Workspace w;
    w.id = Uuid::random();
    w.name = "W";
    w.apps = {oversized, exact};
    fs.putFile(kFile, WorkspaceCodec::encode({w}).value());
    Log::configure({});

    auto m = makeManager();
    const auto& apps = m->workspaces()[0].apps;
    if (c.icon)
      EXPECT_EQ(apps[0].iconData, Bytes(c.icon->begin(), c.icon->end())) << c.what;
    else
      EXPECT_EQ(apps[0].iconData, std::nullopt) << c.what;
    EXPECT_EQ(apps[1].iconData, exact.iconData) << c.what;
    EXPECT_EQ(loggedLines(), std::vector<std::string>{"[Zelvorn] Migrated oversized app icons to "
                                                      "small PNGs; re-persisting workspaces."})
        << c.what;
    EXPECT_EQ(saves(), 1) << c.what;
    if (c.icon) {
      EXPECT_EQ(repairs.iconRequests, std::vector<std::string>{*c.icon + "@128"});
    }
  }
}

TEST_F(WorkspaceManagerTest, AppsWhoseBundleIdentifierChangedAreRelinkedWithoutDuplicates) {
  Workspace one;
  one.id = Uuid::random();
  one.name = "One";
  one.apps = {makeApp("A", AppRole::primary), makeApp("B"), makeApp("C")};
  one.primaryAppBundleIdentifier = "com.example.A";
  Workspace two;
  two.id = Uuid::random();
  two.name = "Two";
  two.apps = {makeApp("A")};
  repairs.renamedBundles = {{"com.example.A", "com.new.X"}, {"com.example.B", "com.new.X"}};
  fs.putFile(kFile, WorkspaceCodec::encode({one, two}).value());

  auto m = makeManager();
  const auto& ws = m->workspaces();
  EXPECT_EQ(ws[0].apps[0].bundleIdentifier, "com.new.X");
  EXPECT_EQ(ws[0].apps[0].displayName, "A (new)");
  EXPECT_EQ(ws[0].apps[0].id, one.apps[0].id);
  EXPECT_EQ(ws[0].apps[1].bundleIdentifier, "com.example.B");
  EXPECT_EQ(ws[0].primaryAppBundleIdentifier, "com.example.A");
  EXPECT_EQ(ws[1].apps[0].bundleIdentifier, "com.new.X");
  EXPECT_EQ(loggedLines(),
            (std::vector<std::string>{
                "[Zelvorn] Bundle-id migration skipped for B: com.example.B \u2192 com.new.X "
                "already in use (would duplicate).",
                "[Zelvorn] Re-linked apps that changed bundle identifier: A com.example.A \u2192 "
                "com.new.X; A com.example.A \u2192 com.new.X; re-persisting workspaces."}));
  EXPECT_EQ(saves(), 1);
  EXPECT_EQ(onDisk(), ws);
}

TEST_F(WorkspaceManagerTest, NothingToRepairMeansNoSave) {
  auto w = seeded();
  const int before = saves();
  Log::configure({});
  auto again = makeManager();
  EXPECT_EQ(saves(), before);
  EXPECT_TRUE(loggedLines().empty());
}

}  // namespace
}  // namespace zelvorn
