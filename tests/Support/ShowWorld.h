// The whole show path on the simulated desktop: displays, disk, alerts, the workspace manager and
// the session controller, with a capturing console. Accessibility goes through a pass-through that
// lets a test run code in the middle of a write (to model something happening during a pass).
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Core/AppRegistry.h"
#include "Core/WorkspaceController.h"
#include "Core/WorkspaceManager.h"
#include "Persistence/WorkspaceStore.h"
#include "Sim/SimDisplays.h"
#include "Sim/SimEnvironment.h"
#include "Sim/SimModalUI.h"
#include "Support/CapturingConsole.h"
#include "Support/SimWorld.h"

namespace zelvorn {

class HookedAccessibility final : public IAccessibility {
 public:
  explicit HookedAccessibility(IAccessibility& inner) : inner_(inner) {}
  // Runs before each attribute write; cleared by assigning an empty function.
  std::function<void(const AXElement&, std::string_view)> beforeWrite;

  bool isProcessTrusted() override { return inner_.isProcessTrusted(); }
  bool requestTrustWithPrompt() override { return inner_.requestTrustWithPrompt(); }
  AXElement applicationElement(Pid pid) override { return inner_.applicationElement(pid); }
  Pid pidOf(const AXElement& e) override { return inner_.pidOf(e); }
  std::optional<WindowNumber> windowNumber(const AXElement& e) override {
    return inner_.windowNumber(e);
  }
  AXError copyAttribute(const AXElement& e, std::string_view a, AXValue& out) override {
    return inner_.copyAttribute(e, a, out);
  }
  AXError setAttribute(const AXElement& e, std::string_view a, const AXValue& v) override {
    if (beforeWrite) beforeWrite(e, a);
    return inner_.setAttribute(e, a, v);
  }
  AXError performAction(const AXElement& e, std::string_view a) override {
    return inner_.performAction(e, a);
  }
  AXError setMessagingTimeout(const AXElement& e, float s) override {
    return inner_.setMessagingTimeout(e, s);
  }
  AXError createObserver(Pid pid, std::function<void(const AXNotification&)> cb,
                         std::unique_ptr<IAXObserver>& observer) override {
    return inner_.createObserver(pid, std::move(cb), observer);
  }

 private:
  IAccessibility& inner_;
};

struct ShowWorld : SimWorld {
  // The main display is 1512 × 982 with a 25-point menu bar.
  static constexpr CocoaRect kMainScreen{0, 0, 1512, 982};

  CapturingConsole console;
  SimDisplays& displays = desktop.displays();
  SimModalUI modal;
  SimEnvironment environment;
  HookedAccessibility accessibility{desktop.accessibility()};
  WorkspaceManager manager{std::make_unique<WorkspaceStore>(files, "/Zelvorn"), nullptr};
  AppRegistry registry{desktop.launchServices(), files};
  std::unique_ptr<WorkspaceController> controller;

  ShowWorld() {
    displays.setScreens({SimDisplays::makeScreen(1, kMainScreen)});
    controller = std::make_unique<WorkspaceController>(
        ControllerServices{loop, accessibility, desktop.windowList(), desktop.runningApps(),
                           desktop.launchServices(), displays, modal, files, environment, manager});
  }

  // Installs an app called `name` with bundle id "com.example.<lower-case name>".
  SimAppSpec installApp(const std::string& name,
                        const std::function<void(SimAppSpec&)>& adjust = {}) {
    std::string id = "com.example." + name;
    for (auto& ch : id)
      ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    SimAppSpec desc = app(name, id);
    if (adjust) adjust(desc);
    install(desc);
    return desc;
  }
  Pid launchNow(const std::string& name) { return desktop.launch(bundleID(name)); }
  // Installs each app and starts it with its windows.
  void runApps(std::initializer_list<std::string> names) {
    for (const auto& name : names)
      installApp(name);
    for (const auto& name : names)
      launchNow(name);
  }
  static std::string bundleID(const std::string& name) {
    std::string id = "com.example." + name;
    for (auto& ch : id)
      ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return id;
  }

  // A workspace of installed apps, in pane order.
  Workspace addWorkspace(const std::string& name, LayoutType type,
                         const std::vector<std::string>& apps,
                         const std::function<void(Workspace&)>& adjust = {}) {
    Workspace w = manager.createWorkspace(name);
    w.layout.type = type;
    for (const auto& a : apps)
      w.apps.push_back(registry.makeManagedApp("/Applications/" + a + ".app").value());
    if (adjust) adjust(w);
    manager.update(w);
    return *manager.workspace(w.id);
  }

  Pid pidOf(const std::string& name) {
    auto apps = desktop.runningApps().withBundleIdentifier(bundleID(name));
    return apps.empty() ? 0 : apps.front().pid;
  }
  std::optional<AXRect> frameOfFirstWindow(const std::string& name) {
    Pid pid = pidOf(name);
    if (!pid || desktop.windows(pid).empty()) return std::nullopt;
    return desktop.window(desktop.windows(pid).front())->desc.frame;
  }
  // The pane rectangles the workspace's current container gives.
  std::vector<AXRect> paneRects(const Uuid& id);
  // The log lines without their time stamps, in order.
  std::vector<std::string> lines() const { return console.lines(); }
  bool logged(std::string_view line) const { return console.contains(line); }
  int countLogged(std::string_view prefix) const {
    int n = 0;
    for (const auto& l : console.lines())
      if (l.rfind(prefix, 0) == 0) ++n;
    return n;
  }
};

}  // namespace zelvorn
