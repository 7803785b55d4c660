#include "Persistence/WorkspaceStore.h"

#include <gtest/gtest.h>

#include "App/Log.h"
#include "Persistence/WorkspaceCodec.h"
#include "Sim/InMemoryFileSystem.h"

namespace zelvorn {
namespace {

const std::string kDir = "/home/me/Library/Application Support/Zelvorn";
const std::string kFile = kDir + "/workspaces.json";
constexpr WallTime kNoon{1796990400};  // 2026-12-11 12:00:00 UTC

// The log's ring without its time stamps.
std::vector<std::string> loggedLines() {
  std::vector<std::string> out;
  for (const auto& line : Log::recentLines())
    out.push_back(line.substr(line.find(' ') + 1));
  return out;
}

std::vector<Workspace> oneWorkspace() {
  Workspace w;
  w.id = Uuid::random();
  w.name = "Work";
  return {w};
}

class WorkspaceStoreTest : public testing::Test {
 protected:
  void SetUp() override { Log::configure({}); }
  InMemoryFileSystem fs;
  WorkspaceStore store{fs, kDir, [] { return kNoon; }};
};

TEST(WorkspaceStoreLocation, ApplicationSupportElseTemporaryFolder) {
  StandardLocations locations;
  locations.temporaryDirectory = "/tmp";
  EXPECT_EQ(WorkspaceStore::defaultDirectory(locations), "/tmp/Zelvorn");
  locations.applicationSupportDirectory = "/home/me/.local/share";
  EXPECT_EQ(WorkspaceStore::defaultDirectory(locations), "/home/me/.local/share/Zelvorn");
  InMemoryFileSystem fs;
  EXPECT_EQ(WorkspaceStore(fs, "/x/Zelvorn").fileURL(), "/x/Zelvorn/workspaces.json");
}

TEST_F(WorkspaceStoreTest, SaveCreatesTheFolderAndWritesTheCanonicalBytes) {
  auto list = oneWorkspace();
  EXPECT_TRUE(store.load().ok());
  EXPECT_TRUE(store.load().value().empty());
  ASSERT_TRUE(store.save(list));
  EXPECT_EQ(fs.contents(kFile), WorkspaceCodec::encode(list).value());
  auto back = store.load();
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(back.value(), list);
  EXPECT_TRUE(loggedLines().empty());
}

TEST_F(WorkspaceStoreTest, SaveFailuresAreLoggedAndSwallowed) {
  Error full{28, "No space left on device"};
  struct Case {
    std::function<void()> inject;
    std::vector<Workspace> list;
    std::string line;
  } cases[] = {
      {[&] { fs.setCreateDirectoriesFailure(full); }, oneWorkspace(),
       "[Zelvorn] Failed to save workspaces: No space left on device"},
      {[&] { fs.setWriteFailure(full); }, oneWorkspace(),
       "[Zelvorn] Failed to save workspaces: No space left on device"},
      {[] {},
       [] {
         auto l = oneWorkspace();
         l[0].lastContainerFrame = RectModel{0, 0, NAN, 10};
         return l;
       }(),
       "[Zelvorn] Failed to save workspaces: workspaces[0].lastContainerFrame.width: the number "
       "nan cannot be written (not finite)"},
  };
  fs.putFile(kFile, "[]");
  for (const auto& c : cases) {
    Log::configure({});
    c.inject();
    EXPECT_FALSE(store.save(c.list));
    EXPECT_EQ(loggedLines(), std::vector<std::string>{c.line});
    EXPECT_EQ(fs.contents(kFile), "[]");
    fs.setCreateDirectoriesFailure(std::nullopt);
    fs.setWriteFailure(std::nullopt);
  }
}

TEST_F(WorkspaceStoreTest, AnUnreadableFileIsMovedAsideBeforeTheFirstSave) {
  const std::string bad = R"([{"name":"Work"}])";
  fs.putFile(kFile, bad);
  auto loaded = store.load();
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error().description, R"(workspaces[0]: the required key "id" is missing)");
  EXPECT_EQ(fs.contents(kFile), bad);  // loading never touches it

  const std::string aside = kFile + ".unreadable-20261211T120000Z";
  fs.putFile(aside, "an earlier one");
  ASSERT_TRUE(store.save(oneWorkspace()));
  EXPECT_EQ(fs.contents(aside), "an earlier one");
  EXPECT_EQ(fs.contents(aside + "-2"), bad);
  EXPECT_EQ(loggedLines(), std::vector<std::string>{"[Zelvorn] Moved the unreadable workspaces "
                                                    "file aside to " +
                                                    aside + "-2."});
  // Only once: later saves simply replace the (now readable) file.
  ASSERT_TRUE(store.save(oneWorkspace()));
  EXPECT_EQ(fs.filePaths().size(), 3u);
}

TEST_F(WorkspaceStoreTest, WhenTheUnreadableFileCannotBeMovedNothingIsWritten) {
  fs.putFile(kFile, "not json");
  ASSERT_FALSE(store.load().ok());
  fs.setMoveFailure(Error{13, "Permission denied"});
  EXPECT_FALSE(store.save(oneWorkspace()));
  EXPECT_EQ(fs.contents(kFile), "not json");
  EXPECT_EQ(loggedLines(), std::vector<std::string>{"[Zelvorn] Failed to save workspaces: could "
                                                    "not move the unreadable workspaces file "
                                                    "aside (Permission denied)"});
  fs.setMoveFailure(std::nullopt);
  ASSERT_TRUE(store.save(oneWorkspace()));
  EXPECT_EQ(fs.contents(kFile + ".unreadable-20261211T120000Z"), "not json");
}

TEST_F(WorkspaceStoreTest, AReadErrorAlsoCountsAsUnreadable) {
  fs.putFile(kFile, "[]");
  fs.setReadFailure(Error{5, "Input/output error"});
  auto loaded = store.load();
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error().description, "Input/output error");
  fs.setReadFailure(std::nullopt);
  ASSERT_TRUE(store.save(oneWorkspace()));
  EXPECT_EQ(fs.contents(kFile + ".unreadable-20261211T120000Z"), "[]");
}

}  // namespace
}  // namespace zelvorn
