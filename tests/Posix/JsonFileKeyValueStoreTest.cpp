#include "Posix/JsonFileKeyValueStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "Posix/PosixFileSystem.h"
#include "Support/TempDir.h"

namespace zelvorn {
namespace {

std::string text(const Bytes& b) {
  return std::string(b.begin(), b.end());
}

class JsonFileKeyValueStoreTest : public testing::Test {
 protected:
  std::string path() const { return dir / "config/Zelvorn/settings.json"; }
  std::vector<std::string> filesInFolder() const {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(dir / "config/Zelvorn"))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  TempDir dir;
  PosixFileSystem fs;
  std::vector<std::string> problems;
  JsonFileKeyValueStore::ProblemHandler record() {
    return [this](const std::string& s) { problems.push_back(s); };
  }
};

TEST_F(JsonFileKeyValueStoreTest, EveryTypeSurvivesARelaunch) {
  const std::vector<std::pair<std::string, StoreValue>> values{
      {"ZelvornLogToFile", true},
      {"count", std::int64_t{-9'007'199'254'740'993}},  // not representable as a double
      {"big", std::numeric_limits<std::int64_t>::max()},
      {"ratio", 0.1},
      {"tiny", 5e-324},
      {"infinite", std::numeric_limits<double>::infinity()},
      {"appTheme", std::string("dark")},
      {"unicode", std::string("Café “quoted” \\ / \n")},
      {"ZelvornHiddenAppBundleIDs", std::vector<std::string>{"com.a", "", "com.b"}},
      {"ZelvornWindowBindings", Bytes{0, 1, 2, 250, 255}},
      {"empty bytes", Bytes{}},
      {"ZelvornUnhideAskedAt", WallTime{1'800'000'000.123}},
  };
  {
    JsonFileKeyValueStore store(fs, path(), record());
    for (const auto& [k, v] : values)
      store.set(k, v);
  }
  JsonFileKeyValueStore reopened(fs, path(), record());
  for (const auto& [k, v] : values)
    EXPECT_EQ(reopened.get(k), v) << k;
  auto nan = JsonFileKeyValueStore::decode(
      JsonFileKeyValueStore::encode({{"n", std::numeric_limits<double>::quiet_NaN()}}));
  ASSERT_TRUE(nan);
  EXPECT_TRUE(std::isnan(std::get<double>(nan->at("n"))));
  EXPECT_EQ(reopened.integer("ratio"), std::nullopt) << "another type reads as missing";
  EXPECT_TRUE(problems.empty());
}

TEST_F(JsonFileKeyValueStoreTest, EveryChangeIsOnDiskAtOnce) {
  JsonFileKeyValueStore store(fs, path(), record());
  store.set("a", std::int64_t{1});
  EXPECT_EQ(JsonFileKeyValueStore(fs, path()).integer("a"), 1);
  store.remove("a");
  EXPECT_EQ(JsonFileKeyValueStore(fs, path()).get("a"), std::nullopt);
  EXPECT_EQ(filesInFolder(), std::vector<std::string>{"settings.json"});
}

TEST_F(JsonFileKeyValueStoreTest, UnreadableFileIsSetAsideNeverOverwritten) {
  const std::string broken[] = {
      "{ not json",
      R"({"format":1,"values":{"a":{"int":1.5}}})",
      R"({"format":1,"values":{"a":{"bytes":"AB="}}})",
      R"({"format":1,"values":{"a":{"bool":true,"int":1}}})",
      R"({"format":2,"values":{}})",
      R"([1,2,3])",
  };
  for (const auto& content : broken) {
    std::filesystem::remove_all(dir / "config");
    ASSERT_TRUE(fs.createDirectories(dir / "config/Zelvorn"));
    ASSERT_TRUE(fs.writeFileAtomically(path(), content));
    problems.clear();
    JsonFileKeyValueStore store(fs, path(), record());
    EXPECT_EQ(store.get("a"), std::nullopt) << content;
    ASSERT_TRUE(store.setAsidePath()) << content;
    EXPECT_EQ(text(fs.readFile(*store.setAsidePath()).value()), content);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find(*store.setAsidePath()), std::string::npos) << problems[0];
    store.set("b", true);
    EXPECT_EQ(text(fs.readFile(*store.setAsidePath()).value()), content);
    EXPECT_EQ(JsonFileKeyValueStore(fs, path()).boolValue("b"), true);
  }
}

TEST_F(JsonFileKeyValueStoreTest, SaveFailureIsReportedAndTheValueKept) {
  ASSERT_TRUE(fs.writeFileAtomically(dir / "config", "a file where the folder should be"));
  JsonFileKeyValueStore store(fs, path(), record());
  store.set("k", std::string("v"));
  EXPECT_EQ(store.string("k"), "v");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_TRUE(problems[0].starts_with("[Zelvorn] Failed to save settings: ")) << problems[0];
}

}  // namespace
}  // namespace zelvorn
