#include "App/AppDelegate.h"

#include <gtest/gtest.h>

#include "Core/AppRegistry.h"
#include "Core/WorkspaceController.h"
#include "Core/WorkspaceManager.h"
#include "Sim/InMemoryFileSystem.h"
#include "Sim/InMemoryKeyValueStore.h"
#include "Sim/SimAppShell.h"
#include "Sim/SimDesktop.h"
#include "Sim/SimEnvironment.h"
#include "Sim/SimLoginItemService.h"
#include "Sim/SimModalUI.h"
#include "Sim/VirtualMainLoop.h"
#include "Support/CapturingConsole.h"

namespace zelvorn {
namespace {

using Lines = std::vector<std::string>;

class AppDelegateTest : public testing::Test {
 protected:
  AppPlatform platform() {
    return AppPlatform{loop,
                       shell,
                       defaults,
                       fs,
                       env,
                       loginItems,
                       desktop.accessibility(),
                       desktop.launchServices(),
                       desktop.windowList(),
                       desktop.runningApps(),
                       desktop.displays(),
                       modal};
  }
  // Starts the program as the system does: the shell runs, the loop delivers the callbacks.
  void launch() {
    shell.run(delegate->callbacks());
    loop.runUntilIdle();
  }
  Lines urlLines() const {
    Lines out;
    for (const auto& l : console.lines())
      if (l.starts_with("[Zelvorn][URL]")) out.push_back(l);
    return out;
  }

  VirtualMainLoop loop;
  SimDesktop desktop{loop};
  SimAppShell shell{loop};
  InMemoryKeyValueStore defaults;
  InMemoryFileSystem fs;
  SimEnvironment env;
  SimLoginItemService loginItems;
  SimModalUI modal;
  CapturingConsole console{LogSinks{nullptr, &fs, &env, [this] { return loop.wallNow(); }}};
  std::unique_ptr<AppDelegate> delegate = std::make_unique<AppDelegate>(platform());
  std::vector<std::string> performed;

  void SetUp() override {
    delegate->setPerformHook(
        [this](const ZelvornURL::Command& c) { performed.push_back(ZelvornURL::description(c)); });
  }
};

TEST_F(AppDelegateTest, LaunchSetsUpTheShellThenBuildsTheManagerThenLogsDiagnostics) {
  defaults.set("appTheme", std::string("dark"));
  EXPECT_EQ(delegate->workspaceManager(), nullptr);
  launch();
  EXPECT_EQ(shell.calls,
            (Lines{"setActivationPolicyAccessory", "setAppearance(dark)", "setMainMenu"}));
  EXPECT_EQ(shell.activationPolicy, ActivationPolicy::accessory);
  ASSERT_NE(delegate->workspaceManager(), nullptr);
  EXPECT_TRUE(delegate->workspaceManager()->workspaces().empty());
  EXPECT_EQ(console.lines(),
            (Lines{"[Zelvorn][AX] launch: trusted=true id=com.zelvorn.Zelvorn pid=400 "
                   "fromApplications=true fromBundle=true path=/Applications/Zelvorn.app",
                   "[Zelvorn][LoginItem] state=disabled rawStatus=0 bundled=true "
                   "path=/Applications/Zelvorn.app"}));
  EXPECT_FALSE(delegate->applicationShouldHandleReopen(true));
  EXPECT_TRUE(delegate->applicationSupportsSecureRestorableState());
}

TEST_F(AppDelegateTest, MainMenuHasTheStandardKeyEquivalents) {
  MenuModel menu = AppDelegate::makeMainMenu();
  ASSERT_EQ(menu.items.size(), 2u);
  EXPECT_EQ(menu.items[0].title, "Zelvorn");
  ASSERT_EQ(menu.items[0].submenu.size(), 1u);
  const auto& quit = menu.items[0].submenu[0];
  EXPECT_EQ(quit.title, "Quit Zelvorn");
  EXPECT_EQ(quit.actionId, "terminate:");
  EXPECT_EQ(quit.key, (KeyEquivalent{"q"}));
  const auto& edit = menu.items[1].submenu;
  ASSERT_EQ(edit.size(), 7u);
  Lines summary;
  for (const auto& i : edit)
    summary.push_back(i.isSeparator ? "—"
                                    : i.title + " " + i.actionId + " " + (i.key->shift ? "⇧" : "") +
                                          "⌘" + i.key->key);
  EXPECT_EQ(summary, (Lines{"Undo undo: ⌘z", "Redo redo: ⇧⌘z", "—", "Cut cut: ⌘x", "Copy copy: ⌘c",
                            "Paste paste: ⌘v", "Select All selectAll: ⌘a"}));
}

TEST_F(AppDelegateTest, LogFileIsOnBeforeAnythingElseLogsWhenTheUserAskedForIt) {
  defaults.set("ZelvornLogToFile", true);
  launch();
  auto file = fs.contents("/home/user/.local/state/zelvorn/Zelvorn.log");
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("---- log file on — Zelvorn 1.0 (build 1) ----\n"), std::string::npos);
  EXPECT_NE(file->find("[Zelvorn][AX] launch: "), std::string::npos);
  Log::setFileLogging(false);
}

TEST_F(AppDelegateTest, LinksBeforeLaunchAreQueuedAndReplayedInOrderAtTheEnd) {
  shell.openURLs({"zelvorn://show/Mail"});
  shell.openURLs({"zelvorn://focus/prev", "zelvorn://solo"});
  launch();
  EXPECT_EQ(urlLines(),
            (Lines{"[Zelvorn][URL] Arrived before launch finished — queued 1: zelvorn://show/Mail",
                   "[Zelvorn][URL] Arrived before launch finished — queued 2: "
                   "zelvorn://focus/prev, zelvorn://solo",
                   "[Zelvorn][URL] Launch finished — running 3 queued command(s).",
                   "[Zelvorn][URL] zelvorn://show/Mail → show(target: \"Mail\")",
                   "[Zelvorn][URL] No workspace matches “Mail” — ignored.",
                   "[Zelvorn][URL] zelvorn://focus/prev → focus(offset: -1)",
                   "[Zelvorn][URL] zelvorn://solo → solo"}));
  EXPECT_EQ(performed, (Lines{"show(target: \"Mail\")", "focus(offset: -1)", "solo"}));
  // The replay is the last step of the launch: after the launch diagnostics.
  auto lines = console.lines();
  auto at = [&](std::string_view prefix) {
    return std::find_if(lines.begin(), lines.end(), [&](auto& l) { return l.starts_with(prefix); });
  };
  EXPECT_LT(at("[Zelvorn][AX] launch:"), at("[Zelvorn][URL] Launch finished"));
  EXPECT_TRUE(delegate->pendingURLs().empty());

  // Later links are routed at once.
  shell.openURLs({"zelvorn://hide"});
  loop.runUntilIdle();
  EXPECT_EQ(urlLines().back(), "[Zelvorn][URL] zelvorn://hide → hide(target: nil)");
}

TEST_F(AppDelegateTest, BadLinkIsIgnoredAndLaterLinksStillRoute) {
  shell.openURLs({"zelvorn://delete/Everything"});
  launch();
  shell.openURLs({"zelvorn://focus/up", "zelvorn://show/Deep%20Work\n[Zelvorn] forged",
                  "zelvorn://toggle/Mail"});
  loop.runUntilIdle();
  EXPECT_EQ(
      urlLines(),
      (Lines{
          "[Zelvorn][URL] Arrived before launch finished — queued 1: zelvorn://delete/Everything",
          "[Zelvorn][URL] Launch finished — running 1 queued command(s).",
          "[Zelvorn][URL] Ignored — not a command Zelvorn understands: "
          "zelvorn://delete/Everything",
          "[Zelvorn][URL] Ignored — not a command Zelvorn understands: zelvorn://focus/up",
          "[Zelvorn][URL] zelvorn://show/Deep%20Work\\n[Zelvorn] forged → show(target: "
          "\"Deep Work\\n[Zelvorn] forged\")",
          "[Zelvorn][URL] No workspace matches “Deep Work\\n[Zelvorn] forged” — ignored.",
          "[Zelvorn][URL] zelvorn://toggle/Mail → toggle(target: \"Mail\")",
          "[Zelvorn][URL] No workspace matches “Mail” — ignored."}));
  EXPECT_EQ(performed.size(), 2u);
}

TEST_F(AppDelegateTest, LinksDriveTheSessionController) {
  desktop.displays().setScreens({SimDisplays::makeScreen(1, CocoaRect{0, 0, 1512, 982})});
  for (std::string name : {"Notes", "Mail"}) {
    SimAppSpec desc;
    desc.bundlePath = "/Applications/" + name + ".app";
    desc.bundleIdentifier = "com.example." + name;
    desc.name = name;
    fs.putFile(desc.bundlePath, "bundle");
    desktop.install(desc);
    desktop.launch(*desc.bundleIdentifier);
  }
  launch();
  ASSERT_NE(delegate->workspaceController(), nullptr);
  auto& manager = *delegate->workspaceManager();
  Workspace w = manager.createWorkspace("Writing");
  AppRegistry registry(desktop.launchServices(), fs);
  for (std::string name : {"Notes", "Mail"})
    w.apps.push_back(registry.makeManagedApp("/Applications/" + name + ".app").value());
  manager.update(w);
  auto& controller = *delegate->workspaceController();

  struct Step {
    std::string url;
    bool shownAfter;
  };
  const Step steps[] = {
      {"zelvorn://show/writing", true},   {"zelvorn://toggle/1", false},
      {"zelvorn://toggle/Writing", true}, {"zelvorn://hide", false},
      {"zelvorn://show/Writing", true},   {"zelvorn://hide/Writing", false},
  };
  for (const auto& step : steps) {
    shell.openURLs({step.url});
    loop.runUntilIdle(10);
    EXPECT_EQ(controller.isShown(w.id), step.shownAfter) << step.url;
  }
  EXPECT_TRUE(console.contains("[Zelvorn] Hide active workspace requested: Writing"));

  console.clear();
  shell.openURLs({"zelvorn://hide"});
  loop.runUntilIdle();
  EXPECT_TRUE(
      console.contains("[Zelvorn] Hide active workspace requested, but none is active — ignored."));
}

TEST_F(AppDelegateTest, InstallationWarnings) {
  struct Case {
    std::string bundlePath;
    Lines warnings;
  };
  const Case cases[] = {
      {"/Applications/Zelvorn.app", {}},
      {"/Users/me/Downloads/Zelvorn.app",
       {"[Zelvorn][AX] WARNING: running from /Users/me/Downloads/Zelvorn.app, not /Applications. "
        "For reliable Accessibility grants, use: make install-local && make launch-local."}},
      {"/Volumes/Zelvorn/Zelvorn.app",
       {"[Zelvorn][AX] WARNING: running from /Volumes/Zelvorn/Zelvorn.app, not /Applications. "
        "For reliable Accessibility grants, use: make install-local && make launch-local.",
        "[Zelvorn] WARNING: launched from a mounted volume (/Volumes/Zelvorn/Zelvorn.app). Move "
        "Zelvorn to /Applications for reliable updates and Accessibility."}},
  };
  for (const auto& c : cases) {
    env.facts.bundlePath = c.bundlePath;
    console.clear();
    AppDelegate d(platform());
    d.applicationDidFinishLaunching();
    Lines warnings;
    for (const auto& l : console.lines())
      if (l.find("WARNING") != std::string::npos) warnings.push_back(l);
    EXPECT_EQ(warnings, c.warnings) << c.bundlePath;
  }
}

TEST_F(AppDelegateTest, QuitStampsTheUnhideTimeOnlyAfterLaunch) {
  delegate->applicationWillTerminate();
  EXPECT_EQ(defaults.get("ZelvornUnhideAskedAt"), std::nullopt);
  launch();
  loop.advance(5);
  shell.terminate();
  EXPECT_EQ(defaults.date("ZelvornUnhideAskedAt"), loop.wallNow());
}

TEST_F(AppDelegateTest, RelaunchFindsTheWorkspacesAgain) {
  launch();
  auto& manager = *delegate->workspaceManager();
  manager.createWorkspace("Deep Work");
  manager.createWorkspace("Deep Work");
  shell.terminate();
  delegate.reset();

  AppDelegate relaunched(platform());
  relaunched.applicationDidFinishLaunching();
  ASSERT_NE(relaunched.workspaceManager(), nullptr);
  Lines names;
  for (const auto& w : relaunched.workspaceManager()->workspaces())
    names.push_back(w.name);
  EXPECT_EQ(names, (Lines{"Deep Work", "Deep Work 2"}));
  EXPECT_TRUE(fs.contents("/home/user/.local/share/Zelvorn/workspaces.json"));
}

}  // namespace
}  // namespace zelvorn
