#include "Accessibility/AccessibilityPermission.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Accessibility/NewWindowCapability.h"
#include "Sim/InMemoryKeyValueStore.h"
#include "Sim/SimDesktop.h"
#include "Support/CapturingConsole.h"

namespace zelvorn {
namespace {

class FixedEnvironment final : public IEnvironment {
 public:
  ProcessFacts facts;
  StandardLocations places;
  const ProcessFacts& process() const override { return facts; }
  const StandardLocations& locations() const override { return places; }
  std::optional<std::string> environmentVariable(std::string_view) const override {
    return std::nullopt;
  }
};

TEST(AccessibilityPermission, DiagnosticsDescribeTheProcessAndItsTrust) {
  VirtualMainLoop loop;
  SimDesktop desk{loop};
  FixedEnvironment env;
  AccessibilityPermission permission{desk.accessibility(), env, desk.launchServices()};
  CapturingConsole console;

  env.facts = {412,
               "Zelvorn",
               "/Applications/Zelvorn.app",
               true,
               "com.zelvorn.Zelvorn",
               "/Applications/Zelvorn.app/Contents/MacOS/Zelvorn"};
  permission.logDiagnostics("launch");
  desk.setTrusted(false);
  env.facts = {413, "zelvorn", "/home/me/build/zelvorn", false, std::nullopt, std::nullopt};
  auto d = permission.diagnostics();
  EXPECT_EQ(d.bundleIdentifier, "(none)");
  EXPECT_EQ(d.executablePath, "(none)");
  EXPECT_FALSE(d.isRunningFromBundle);
  permission.logDiagnostics("Show Workspace ‘Writing’");

  EXPECT_EQ(console.lines(),
            (std::vector<std::string>{
                "[Zelvorn][AX] launch: trusted=true id=com.zelvorn.Zelvorn pid=412 "
                "fromApplications=true fromBundle=true path=/Applications/Zelvorn.app",
                "[Zelvorn][AX] Show Workspace ‘Writing’: trusted=false id=(none) pid=413 "
                "fromApplications=false fromBundle=false path=/home/me/build/zelvorn"}));

  permission.openSystemSettings();
  EXPECT_EQ(desk.openedURLs(),
            std::vector<std::string>{
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"});
  desk.setGrantsTrustOnPrompt(true);
  permission.promptForTrust();
  EXPECT_TRUE(permission.isTrusted());
}

class CountingStore final : public IKeyValueStore {
 public:
  std::optional<StoreValue> get(std::string_view key) const override { return inner.get(key); }
  void set(std::string_view key, StoreValue value) override {
    ++writes;
    inner.set(key, std::move(value));
  }
  void remove(std::string_view key) override { inner.remove(key); }
  InMemoryKeyValueStore inner;
  int writes = 0;
};

TEST(NewWindowCapability, KeepsASortedSetAndWritesOnlyOnChange) {
  CountingStore store;
  NewWindowCapability::rememberUnable("com.example.zeta", store);
  NewWindowCapability::rememberUnable("com.example.alpha", store);
  NewWindowCapability::rememberUnable("com.example.zeta", store);
  EXPECT_EQ(store.writes, 2);
  EXPECT_EQ(store.stringArray("ZelvornAppsWithoutWindowCommand"),
            (std::vector<std::string>{"com.example.alpha", "com.example.zeta"}));
  EXPECT_TRUE(NewWindowCapability::isUnable("com.example.alpha", store));
  EXPECT_FALSE(NewWindowCapability::isUnable("com.example.beta", store));

  // A value of another type reads as an empty list and is replaced.
  store.set("ZelvornAppsWithoutWindowCommand", std::string("garbage"));
  EXPECT_FALSE(NewWindowCapability::isUnable("com.example.alpha", store));
  NewWindowCapability::rememberUnable("com.example.beta", store);
  EXPECT_EQ(store.stringArray("ZelvornAppsWithoutWindowCommand"),
            std::vector<std::string>{"com.example.beta"});
}

}  // namespace
}  // namespace zelvorn
