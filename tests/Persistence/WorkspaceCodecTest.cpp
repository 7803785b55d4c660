#include "Persistence/WorkspaceCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

namespace zelvorn {
namespace {

using nlohmann::json;

Uuid uuid(std::string_view s) {
  return *Uuid::parse(s);
}

// Every field set, so that one fixture exercises every key of the format.
Workspace fullWorkspace() {
  ManagedApp mail;
  mail.id = uuid("11111111-1111-1111-1111-111111111111");
  mail.displayName = "Mail";
  mail.bundleIdentifier = "com.apple.mail";
  mail.appURLBookmark = Bytes{0xfb, 0xff};
  mail.appPath = "/Applications/Mail.app";
  mail.iconData = Bytes{1, 2, 3};
  mail.preferredPaneId = "p1";
  mail.role = AppRole::primary;
  mail.observedMinSize = SizeModel{400.5, 300};
  mail.lastDocumentPath = "/Users/me/a.txt";
  ManagedApp notes;
  notes.id = uuid("22222222-2222-2222-2222-222222222222");
  notes.displayName = "Notes";
  notes.bundleIdentifier = "com.apple.Notes";

  Workspace w;
  w.id = uuid("01234567-89ab-cdef-0123-456789abcdef");
  w.name = "Work/Home";
  w.apps = {mail, notes};
  w.layout.type = LayoutType::threeLeftOneRightTwo;
  w.layout.splitTree =
      SplitNode::split(SplitDirection::vertical, 0.5, {SplitNode::app("1"), SplitNode::app("2")});
  w.layout.ratios = Layout::threeColumnsDefaultRatios;
  w.layout.paneAssignments = std::map<std::string, std::string>{{"a", "b"}};
  w.layout.threeColumns = ThreeColumnsState{false, Layout::oneLeftTwoRightDefaultRatios};
  w.primaryAppBundleIdentifier = "com.apple.mail";
  w.primaryAppID = mail.id;
  w.shortcut = ShortcutConfig{4294967295u, 256, "\u2303\u23251"};
  w.lastContainerFrame = RectModel{0, 25, 1440, 875};
  w.topologyFrames = std::map<std::string, RectModel>{{"A:1440x900", {0, 25, 1440, 875}}};
  w.savedLayout = LayoutCheckpoint{{10, 30, 1200, 800}, std::vector<double>{0.4}};
  w.isEnabled = false;
  return w;
}

const std::string kFullBytes =
    R"([{"apps":[{"appPath":"\/Applications\/Mail.app","appURLBookmark":"+\/8=",)"
    R"("bundleIdentifier":"com.apple.mail","displayName":"Mail","iconData":"AQID",)"
    R"("id":"11111111-1111-1111-1111-111111111111","lastDocumentPath":"\/Users\/me\/a.txt",)"
    R"("observedMinSize":{"height":300.0,"width":400.5},"preferredPaneId":"p1","role":"primary"},)"
    R"({"bundleIdentifier":"com.apple.Notes","displayName":"Notes",)"
    R"("id":"22222222-2222-2222-2222-222222222222","role":"secondary"}],)"
    R"("id":"01234567-89AB-CDEF-0123-456789ABCDEF","isEnabled":false,)"
    R"("lastContainerFrame":{"height":875.0,"width":1440.0,"x":0.0,"y":25.0},)"
    R"("layout":{"paneAssignments":{"a":"b"},"ratios":[0.3333333333333333,0.5],)"
    R"("splitTree":{"split":{"children":[{"app":{"appId":"1"}},{"app":{"appId":"2"}}],)"
    R"("direction":"vertical","ratio":0.5}},"threeColumns":{"folded":false,)"
    R"("parkedRatios":[0.5,0.5]},"type":"threeLeftOneRightTwo"},"name":"Work\/Home",)"
    R"("primaryAppBundleIdentifier":"com.apple.mail",)"
    R"("primaryAppID":"11111111-1111-1111-1111-111111111111",)"
    R"("savedLayout":{"containerFrame":{"height":800.0,"width":1200.0,"x":10.0,"y":30.0},)"
    R"("ratios":[0.4]},"shortcut":{"carbonModifiers":256,"displayString":"⌃⌥1",)"
    R"("keyCode":4294967295},"topologyFrames":{"A:1440x900":{"height":875.0,"width":1440.0,)"
    R"("x":0.0,"y":25.0}}}])";

std::string encode(const std::vector<Workspace>& ws) {
  auto r = WorkspaceCodec::encode(ws);
  EXPECT_TRUE(r.ok()) << r.error().description;
  return r.ok() ? r.value() : std::string();
}

// The fixture as nlohmann sees it, with one change applied, written back as text.
std::string mutated(const std::function<void(json&)>& change) {
  json doc = json::parse(kFullBytes);
  change(doc);
  return doc.dump();
}

TEST(WorkspaceCodec, WritesANewWorkspaceCompactlyWithSortedKeys) {
  Workspace w;
  w.id = uuid("0A0B0C0D-0000-4000-8000-00000000000F");
  w.name = "New Workspace";
  EXPECT_EQ(encode({w}),
            R"([{"apps":[],"id":"0A0B0C0D-0000-4000-8000-00000000000F","isEnabled":true,)"
            R"("layout":{"type":"leftRightSplit"},"name":"New Workspace"}])");
  EXPECT_EQ(encode({}), "[]");
}

TEST(WorkspaceCodec, EveryFieldHasItsExactEncodingAndRoundTrips) {
  EXPECT_EQ(encode({fullWorkspace()}), kFullBytes);
  auto decoded = WorkspaceCodec::decode(kFullBytes);
  ASSERT_TRUE(decoded.ok()) << decoded.error().description;
  EXPECT_EQ(decoded.value(), std::vector<Workspace>{fullWorkspace()});
}

TEST(WorkspaceCodec, NumbersRoundTripExactly) {
  Workspace w = fullWorkspace();
  w.layout.ratios =
      std::vector<double>{0.1,    1.0 / 3.0,           2.0 / 3.0,          1e-300, 1e300, -0.0,
                          5e-324, 0.30000000000000004, 123456789.123456789};
  auto back = WorkspaceCodec::decode(encode({w}));
  ASSERT_TRUE(back.ok());
  const auto& ratios = *back.value()[0].layout.ratios;
  for (std::size_t i = 0; i < ratios.size(); ++i) {
    EXPECT_EQ(std::signbit(ratios[i]), std::signbit((*w.layout.ratios)[i]));
    EXPECT_EQ(ratios[i], (*w.layout.ratios)[i]);
  }
}

TEST(WorkspaceCodec, ReadsWhatTheWriterWouldNormalise) {
  struct Case {
    const char* what;
    std::function<void(json&)> change;
    std::function<void(Workspace&)> expected;  // applied to the fixture
  } cases[] = {
      {"lower-case UUIDs",
       [](json& d) { d[0]["primaryAppID"] = "11111111-1111-1111-1111-111111111111"; },
       [](Workspace&) {}},
      {"null optionals are absent",
       [](json& d) {
         d[0]["shortcut"] = nullptr;
         d[0]["apps"][0]["appPath"] = nullptr;
         d[0]["layout"]["threeColumns"]["parkedRatios"] = nullptr;
       },
       [](Workspace& w) {
         w.shortcut.reset();
         w.apps[0].appPath.reset();
         w.layout.threeColumns->parkedRatios.reset();
       }},
      {"unknown keys at every level",
       [](json& d) {
         d[0]["colour"] = "teal";
         d[0]["apps"][1]["future"] = json::array({1, 2});
         d[0]["layout"]["splitTree"]["split"]["children"][0]["note"] = 1;
         d[0]["layout"]["extra"] = json::object();
       },
       [](Workspace&) {}},
      {"integers where doubles are stored", [](json& d) { d[0]["lastContainerFrame"]["y"] = 25; },
       [](Workspace&) {}},
      {"whole numbers written as doubles for 32-bit fields",
       [](json& d) { d[0]["shortcut"]["carbonModifiers"] = 256.0; }, [](Workspace&) {}},
      {"empty Base64", [](json& d) { d[0]["apps"][0]["iconData"] = ""; },
       [](Workspace& w) { w.apps[0].iconData = Bytes{}; }},
  };
  for (const auto& c : cases) {
    Workspace expected = fullWorkspace();
    c.expected(expected);
    auto decoded = WorkspaceCodec::decode(mutated(c.change));
    ASSERT_TRUE(decoded.ok()) << c.what << ": " << decoded.error().description;
    EXPECT_EQ(decoded.value(), std::vector<Workspace>{expected}) << c.what;
  }
  // Unescaped slashes are read too; the writer always escapes them.
  auto plain = WorkspaceCodec::decode(json::parse(kFullBytes).dump());
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(encode(plain.value()), kFullBytes);
}

TEST(WorkspaceCodec, AnyViolationMakesTheWholeFileUnreadableAndSaysWhere) {
  struct Case {
    std::function<void(json&)> change;
    std::string message;
  } cases[] = {
      {[](json& d) { d[0].erase("isEnabled"); },
       R"(workspaces[0]: the required key "isEnabled" is missing)"},
      {[](json& d) { d[0]["isEnabled"] = nullptr; },
       "workspaces[0].isEnabled: expected a value, found null"},
      {[](json& d) { d[0]["name"] = 5; }, "workspaces[0].name: expected a string, found a number"},
      {[](json& d) { d[0]["id"] = "0123"; }, R"(workspaces[0].id: "0123" is not a UUID)"},
      {[](json& d) { d[0]["layout"]["type"] = "spiral"; },
       R"(workspaces[0].layout.type: "spiral" is not one of leftRightSplit, topBottomSplit, )"
       "grid2x2, mainSidebar, threeTopTwoBottomOne, threeTopOneBottomTwo, "
       "threeLeftTwoRightOne, threeLeftOneRightTwo, threeColumns"},
      {[](json& d) { d[0]["apps"][1]["role"] = "boss"; },
       R"(workspaces[0].apps[1].role: "boss" is not one of primary, secondary)"},
      {[](json& d) { d[0]["apps"][0]["iconData"] = "AQI"; },
       "workspaces[0].apps[0].iconData: not valid Base64"},
      {[](json& d) { d[0]["apps"][0]["observedMinSize"] = json::array(); },
       "workspaces[0].apps[0].observedMinSize: expected an object, found an array"},
      {[](json& d) { d[0]["layout"]["ratios"][1] = true; },
       "workspaces[0].layout.ratios[1]: expected a number, found a boolean"},
      {[](json& d) { d[0]["layout"]["threeColumns"]["folded"] = "no"; },
       "workspaces[0].layout.threeColumns.folded: expected a boolean, found a string"},
      {[](json& d) { d[0]["topologyFrames"]["A:1440x900"].erase("width"); },
       R"(workspaces[0].topologyFrames["A:1440x900"]: the required key "width" is missing)"},
      {[](json& d) { d[0]["savedLayout"]["containerFrame"]["x"] = "0"; },
       "workspaces[0].savedLayout.containerFrame.x: expected a number, found a string"},
      {[](json& d) { d[0]["shortcut"]["keyCode"] = 4294967296u; },
       "workspaces[0].shortcut.keyCode: 4294967296 is out of range for an unsigned 32-bit integer"},
      {[](json& d) { d[0]["shortcut"]["carbonModifiers"] = -1; },
       "workspaces[0].shortcut.carbonModifiers: -1 is out of range for an unsigned 32-bit integer"},
      {[](json& d) { d[0]["shortcut"]["keyCode"] = 1.5; },
       "workspaces[0].shortcut.keyCode: 1.5 is not a whole number"},
      {[](json& d) { d[0]["layout"]["splitTree"] = json::object(); },
       "workspaces[0].layout.splitTree: Invalid number of keys found, expected one."},
      {[](json& d) {
         d[0]["layout"]["splitTree"]["app"] = {{"appId", "x"}};
       },
       "workspaces[0].layout.splitTree: Invalid number of keys found, expected one."},
      {[](json& d) {
         d[0]["layout"]["splitTree"]["split"]["children"][1] = {{"nope", 1}};
       },
       "workspaces[0].layout.splitTree.split.children[1]: Invalid number of keys found, expected "
       "one."},
      {[](json& d) { d[0]["layout"]["splitTree"]["split"]["direction"] = "diagonal"; },
       R"(workspaces[0].layout.splitTree.split.direction: "diagonal" is not one of horizontal, )"
       "vertical"},
      {[](json& d) {
         d.push_back(d[0]);
         d[1]["apps"] = json::object();
       },
       "workspaces[1].apps: expected an array, found an object"},
      {[](json& d) { d = json::object(); },
       "workspaces: expected an array of workspaces, found an object"},
  };
  for (const auto& c : cases) {
    auto decoded = WorkspaceCodec::decode(mutated(c.change));
    ASSERT_FALSE(decoded.ok()) << c.message;
    EXPECT_EQ(decoded.error().description, c.message);
    EXPECT_EQ(decoded.error().code, WorkspaceCodec::invalidData);
  }
}

TEST(WorkspaceCodec, TextThatIsNotJSONOrNotUTF8IsRefused) {
  std::string_view cases[] = {
      "", "[", "[] []", "[1e400]", "[{\"name\":\"\xff\"}]", "[\"\\ud800\"]", "[\"\xc0\xaf\"]"};
  for (auto text : cases) {
    auto decoded = WorkspaceCodec::decode(text);
    ASSERT_FALSE(decoded.ok()) << text;
    EXPECT_EQ(decoded.error().code, WorkspaceCodec::invalidJSON) << text;
    EXPECT_TRUE(decoded.error().description.starts_with("not valid JSON: "));
    EXPECT_EQ(decoded.error().description.find('\n'), std::string::npos);
  }
}

json nestedSplit(int depth) {
  json node = {{"app", {{"appId", "leaf"}}}};
  for (int i = 1; i < depth; ++i)
    node = {{"split", {{"direction", "horizontal"}, {"ratio", 0.5}, {"children", {node}}}}};
  return node;
}

TEST(WorkspaceCodec, SplitTreesAreBoundedInDepth) {
  auto withTree = [](int depth) {
    return mutated([&](json& d) { d[0]["layout"]["splitTree"] = nestedSplit(depth); });
  };
  EXPECT_TRUE(WorkspaceCodec::decode(withTree(WorkspaceCodec::kMaxSplitDepth)).ok());
  auto deep = WorkspaceCodec::decode(withTree(WorkspaceCodec::kMaxSplitDepth + 1));
  ASSERT_FALSE(deep.ok());
  EXPECT_TRUE(deep.error().description.ends_with("split nodes are nested deeper than 64 levels"))
      << deep.error().description;
}

TEST(WorkspaceCodec, DeeplyNestedUnknownValuesDoNotExhaustTheStack) {
  std::string junk(200000, '[');
  junk += std::string(200000, ']');
  std::string text = kFullBytes;
  text.insert(2, "\"junk\":" + junk + ",");
  auto decoded = WorkspaceCodec::decode(text);
  ASSERT_TRUE(decoded.ok()) << decoded.error().description;
  EXPECT_EQ(encode(decoded.value()), kFullBytes);
}

TEST(WorkspaceCodec, NonFiniteNumbersCannotBeWritten) {
  struct Case {
    std::function<void(Workspace&)> change;
    std::string message;
  } cases[] = {
      {[](Workspace& w) { w.lastContainerFrame->x = NAN; },
       "workspaces[1].lastContainerFrame.x: the number nan cannot be written (not finite)"},
      {[](Workspace& w) { (*w.layout.ratios)[1] = INFINITY; },
       "workspaces[1].layout.ratios[1]: the number inf cannot be written (not finite)"},
      {[](Workspace& w) { w.apps[0].observedMinSize->height = -INFINITY; },
       "workspaces[1].apps[0].observedMinSize.height: the number -inf cannot be written (not "
       "finite)"},
      {[](Workspace& w) { (*w.topologyFrames)["A:1440x900"].width = NAN; },
       R"(workspaces[1].topologyFrames["A:1440x900"].width: the number nan cannot be written )"
       "(not finite)"},
  };
  for (const auto& c : cases) {
    Workspace bad = fullWorkspace();
    c.change(bad);
    auto r = WorkspaceCodec::encode({fullWorkspace(), bad});
    ASSERT_FALSE(r.ok()) << c.message;
    EXPECT_EQ(r.error().description, c.message);
  }
}

TEST(WorkspaceCodec, InvalidUTF8FromElsewhereIsReplacedNotFatal) {
  Workspace w = fullWorkspace();
  w.name = "caf\xe9";
  auto decoded = WorkspaceCodec::decode(encode({w}));
  ASSERT_TRUE(decoded.ok());
  EXPECT_EQ(decoded.value()[0].name, "caf\uFFFD");
}

}  // namespace
}  // namespace zelvorn
