#include "App/ZelvornURL.h"

#include <gtest/gtest.h>

namespace zelvorn {
namespace {

using Command = ZelvornURL::Command;
using Hide = ZelvornURL::Hide;
using BringHere = ZelvornURL::BringHere;
using Focus = ZelvornURL::Focus;
using Show = ZelvornURL::Show;
using Solo = ZelvornURL::Solo;
using Toggle = ZelvornURL::Toggle;

TEST(ZelvornURL, ParsesLinks) {
  struct Case {
    std::string url;
    std::optional<Command> command;
  };
  const Case cases[] = {
      {"zelvorn://show/Mail", Show{"Mail"}},
      {"ZELVORN://SHOW/Mail", Show{"Mail"}},
      {"zelvorn://show/Deep%20Work", Show{"Deep Work"}},
      {"zelvorn://show/Caf%C3%A9", Show{"Café"}},
      {"zelvorn://show/Client/Acme", Show{"Client/Acme"}},  // a name with a slash survives
      {"zelvorn://show/a//b/", Show{"a/b"}},
      {"zelvorn:show/Mail", Show{"Mail"}},
      {"zelvorn:///show/Mail", Show{"Mail"}},
      {"zelvorn://show/2", Show{"2"}},
      {"zelvorn://show", std::nullopt},
      {"zelvorn://show/", std::nullopt},
      {"zelvorn://toggle/", std::nullopt},
      {"zelvorn://toggle/Work", Toggle{"Work"}},
      {"zelvorn://hide", Hide{}},
      {"zelvorn://hide/Work", Hide{"Work"}},
      {"zelvorn://bring", BringHere{}},
      {"zelvorn://bringhere/Work", BringHere{"Work"}},
      {"zelvorn://bring-here", BringHere{}},
      {"zelvorn://focus", Focus{1}},
      {"zelvorn://focus/next", Focus{1}},
      {"zelvorn://focus/RIGHT", Focus{1}},
      {"zelvorn://focus/+1", Focus{1}},
      {"zelvorn://focus/prev", Focus{-1}},
      {"zelvorn://focus/Previous", Focus{-1}},
      {"zelvorn://focus/left", Focus{-1}},
      {"zelvorn://focus/-1", Focus{-1}},
      {"zelvorn://focus/up", std::nullopt},
      {"zelvorn://solo", Solo{}},
      {"zelvorn://solo/anything", Solo{}},
      {"zelvorn://delete/Work", std::nullopt},
      {"zelvorn://", std::nullopt},
      {"http://show/Mail", std::nullopt},
      {"zelvornx://show/Mail", std::nullopt},
      {"show/Mail", std::nullopt},
      {"", std::nullopt},
      // The query target replaces the path target; empty values are skipped.
      {"zelvorn://show?workspace=Deep%20Work", Show{"Deep Work"}},
      {"zelvorn://show/Work?name=Home", Show{"Home"}},
      {"zelvorn://show/Work?name=", Show{"Work"}},
      {"zelvorn://show/Work?NAME=Home", Show{"Home"}},
      {"zelvorn://show?index=3&name=Home", Show{"Home"}},     // "name" is preferred over "index"
      {"zelvorn://show?name=&name=Home&index=2", Show{"2"}},  // only a name's first occurrence
      {"zelvorn://show?name=a+b", Show{"a+b"}},               // '+' is not a space
      {"zelvorn://hide?other=x", Hide{}},
      // Typed by hand: spaces and raw UTF-8 are taken as if they had been encoded.
      {"zelvorn://show/Deep Work", Show{"Deep Work"}},
      {"zelvorn://show/Café", Show{"Café"}},
      {"zelvorn://show/100%", Show{"100%"}},
      // Decoded text that is not UTF-8 (or holds a NUL) is not something anyone typed.
      {"zelvorn://show/%FF", std::nullopt},
      {"zelvorn://show/a%00b", std::nullopt},
      {"zelvorn://show/Work?name=%FF", Show{"Work"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ZelvornURL::parse(c.url), c.command) << c.url;
}

TEST(ZelvornURL, QueryTarget) {
  EXPECT_EQ(ZelvornURL::queryTarget("zelvorn://show?workspace=A&name=B"), "A");
  EXPECT_EQ(ZelvornURL::queryTarget("zelvorn://show?Index=4"), "4");
  EXPECT_EQ(ZelvornURL::queryTarget("zelvorn://show?workspace"), std::nullopt);
  EXPECT_EQ(ZelvornURL::queryTarget("zelvorn://show/Work"), std::nullopt);
}

TEST(ZelvornURL, LinksItMakesParseBackToTheirTarget) {
  for (std::string name : {"Mail", "Two Terms", "Café & Co/2", "50%"}) {
    std::string link = ZelvornURL::link("show", name);
    EXPECT_EQ(link.substr(15).find_first_of(" &/"), std::string::npos) << link;
    EXPECT_EQ(ZelvornURL::parse(link), ZelvornURL::Command{ZelvornURL::Show{name}}) << link;
  }
  EXPECT_EQ(ZelvornURL::link("show", "Two Terms"), "zelvorn://show/Two%20Terms");
}

TEST(ZelvornURL, DescribesCommandsForTheLog) {
  EXPECT_EQ(ZelvornURL::description(Show{"Mail"}), "show(target: \"Mail\")");
  EXPECT_EQ(ZelvornURL::description(Hide{}), "hide(target: nil)");
  EXPECT_EQ(ZelvornURL::description(Hide{"Work"}), "hide(target: \"Work\")");
  EXPECT_EQ(ZelvornURL::description(Toggle{"Say \"hi\""}), "toggle(target: \"Say \\\"hi\\\"\")");
  EXPECT_EQ(ZelvornURL::description(BringHere{}), "bringHere(target: nil)");
  EXPECT_EQ(ZelvornURL::description(Focus{-1}), "focus(offset: -1)");
  EXPECT_EQ(ZelvornURL::description(Focus{1}), "focus(offset: 1)");
  EXPECT_EQ(ZelvornURL::description(Solo{}), "solo");
}

TEST(ZelvornURL, VerbTableInOrder) {
  const auto& verbs = ZelvornURL::verbs();
  ASSERT_EQ(verbs.size(), 6u);
  EXPECT_EQ(verbs[1], (ZelvornURL::Verb{"Show it, or hide it if it's already up",
                                        "zelvorn://toggle/<name>"}));
  EXPECT_EQ(verbs[5].url, "zelvorn://solo");
  for (const auto& v : verbs)
    EXPECT_TRUE(v.url.starts_with("zelvorn://"));
}

struct Named {
  Uuid id;
  std::string name;
};

TEST(ZelvornURL, ResolvesNamesThenNumbers) {
  std::vector<Named> list;
  for (const char* name : {"Mail", "Café", "Deep Work", "2", "Mail"})
    list.push_back({Uuid::random(), name});
  struct Case {
    std::string target;
    std::optional<std::size_t> index;
  };
  const Case cases[] = {
      {"mail", 0},           // case-insensitive, first in list order
      {"cafe", 1},           // diacritic-insensitive
      {"CAFÉ", 1},           // both
      {"Cafe\u0301", 1},     // decomposed input
      {"  deep work\n", 2},  // trimmed
      {"\u00A0Mail\u3000", 0},
      {"2", 3},  // a name wins over a number
      {"1", 0},
      {"+3", 2},
      {"5", 4},
      {"0", std::nullopt},
      {"6", std::nullopt},
      {"-1", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"1.0", std::nullopt},
      {"١", std::nullopt},  // digits other than ASCII are not a number
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"Deep", std::nullopt},
      {"\xFF", std::nullopt},
  };
  for (const auto& c : cases) {
    auto id = ZelvornURL::resolve(c.target, list);
    std::optional<Uuid> expected;
    if (c.index) expected = list[*c.index].id;
    EXPECT_EQ(id, expected) << c.target;
  }
  EXPECT_EQ(ZelvornURL::resolve("1", std::vector<Named>{}), std::nullopt);
}

}  // namespace
}  // namespace zelvorn
