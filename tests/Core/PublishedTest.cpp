#include "Core/Published.h"

#include <gtest/gtest.h>

#include <optional>

namespace zelvorn {
namespace {

TEST(Published, EveryAssignmentNotifiesCurrentSubscribersInOrder) {
  Published<int> value(1);
  std::vector<std::string> seen;
  auto a = value.subscribe([&](int v) { seen.push_back("a" + std::to_string(v)); });
  auto b = value.subscribe([&](int v) { seen.push_back("b" + std::to_string(v)); });
  EXPECT_TRUE(seen.empty());
  value = 2;
  value = 2;  // same value: still an assignment
  a.reset();
  value = 3;
  EXPECT_EQ(seen, (std::vector<std::string>{"a2", "b2", "a2", "b2", "b3"}));
  EXPECT_EQ(value.value(), 3);
}

TEST(Published, SubscribersMayUnsubscribeThemselvesOrOthersWhileNotified) {
  Published<int> value;
  std::vector<std::string> seen;
  Subscription second;
  Subscription first = value.subscribe([&](int) {
    seen.push_back("first");
    second.reset();
  });
  second = value.subscribe([&](int) { seen.push_back("second"); });
  value = 1;
  EXPECT_EQ(seen, std::vector<std::string>{"first"});
}

TEST(Published, ASubscriptionMayOutliveTheValue) {
  Subscription s;
  {
    Published<std::optional<int>> value;
    s = value.subscribe([](const auto&) {});
  }
  s.reset();
}

}  // namespace
}  // namespace zelvorn
