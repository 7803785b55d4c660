#include "App/LoginItem.h"

#include <gtest/gtest.h>

#include "Sim/SimEnvironment.h"
#include "Sim/SimLoginItemService.h"
#include "Sim/VirtualMainLoop.h"
#include "Support/CapturingConsole.h"

namespace zelvorn {
namespace {

class LoginItemTest : public testing::Test {
 protected:
  VirtualMainLoop loop;
  SimEnvironment env;
  SimLoginItemService service;
  LoginItem item{service, env, loop};
  CapturingConsole console;
};

TEST_F(LoginItemTest, StateFollowsTheServiceOnlyForTheInstalledApp) {
  struct Case {
    LoginItemStatus status;
    LoginItem::State state;
  };
  for (auto [status, state] :
       {Case{LoginItemStatus::enabled, LoginItem::State::enabled},
        Case{LoginItemStatus::requiresApproval, LoginItem::State::requiresApproval},
        Case{LoginItemStatus::notRegistered, LoginItem::State::disabled},
        Case{LoginItemStatus::notFound, LoginItem::State::disabled}}) {
    service.reading.status = status;
    EXPECT_EQ(item.state(), state);
  }
  env.facts.isAppBundle = false;
  service.reading.status = LoginItemStatus::enabled;
  EXPECT_EQ(item.state(), LoginItem::State::unavailable);
}

TEST_F(LoginItemTest, SwitchingLogsWhatHappened) {
  EXPECT_EQ(item.setEnabled(true), std::nullopt);
  EXPECT_EQ(item.setEnabled(false), std::nullopt);
  service.registerError = Error{1, "Operation not permitted"};
  EXPECT_EQ(item.setEnabled(true), service.registerError);
  EXPECT_EQ(console.lines(),
            (std::vector<std::string>{
                "[Zelvorn] Launch at Login: registered (status=1)",
                "[Zelvorn] Launch at Login: unregistered",
                "[Zelvorn] Launch at Login: register failed — Operation not permitted"}));
}

TEST_F(LoginItemTest, UnregisterErrorCountsAsSuccessOnceNoLongerEnabled) {
  service.reading = {LoginItemStatus::enabled, 1};
  service.unregisterError = Error{2, "Item not found"};
  service.unregisterRemovesDespiteError = true;
  EXPECT_EQ(item.setEnabled(false), std::nullopt);

  service.reading = {LoginItemStatus::enabled, 1};
  service.unregisterRemovesDespiteError = false;
  EXPECT_EQ(item.setEnabled(false), service.unregisterError);
  EXPECT_EQ(console.lines(),
            (std::vector<std::string>{
                "[Zelvorn] Launch at Login: unregister reported Item not found, but it is no "
                "longer enabled — treating as success.",
                "[Zelvorn] Launch at Login: unregister failed — Item not found"}));
}

TEST_F(LoginItemTest, DiagnosticsArePostedToTheMainLoop) {
  service.reading = {LoginItemStatus::requiresApproval, 2};
  item.logDiagnostics();
  EXPECT_TRUE(console.lines().empty());
  loop.runUntilIdle();
  env.facts.isAppBundle = false;
  env.facts.bundlePath = "/home/me/build/zelvorn";
  item.logDiagnostics();
  loop.runUntilIdle();
  EXPECT_EQ(console.lines(),
            (std::vector<std::string>{"[Zelvorn][LoginItem] state=requiresApproval rawStatus=2 "
                                      "bundled=true path=/Applications/Zelvorn.app",
                                      "[Zelvorn][LoginItem] state=unavailable rawStatus=n/a "
                                      "bundled=false path=/home/me/build/zelvorn"}));
}

}  // namespace
}  // namespace zelvorn
