// Showing workspaces of real applications on a real X display through the session controller:
// apps are launched from desktop entries or found running, and every window ends in its pane
// (a terminal short by less than one resize increment, its refusal logged once); a hidden app's
// windows come back when its workspace is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Core/WorkspaceController.h"
#include "Core/WorkspaceManager.h"
#include "Layout/WorkspaceGeometry.h"
#include "Persistence/WorkspaceStore.h"
#include "Sim/InMemoryFileSystem.h"
#include "Sim/SimEnvironment.h"
#include "Sim/SimModalUI.h"
#include "Support/CapturingConsole.h"
#include "Support/TempDir.h"
#include "X11/LiveDesktop.h"

namespace zelvorn {
namespace {

struct LiveShow {
  explicit LiveShow(LiveDesktop& d) : d(d) {
    std::filesystem::create_directories(data / "applications");
    entry("zelvorn-term-a", "Term A", "xterm -class ZTermA -geometry 60x15+40+40", "ZTermA");
    entry("zelvorn-term-b", "Term B", "xterm -class ZTermB -geometry 60x15+80+80", "ZTermB");
    entry("zelvorn-clock", "Clock", "xclock -geometry 150x150+600+400", "XClock");
    entry("zelvorn-logo", "Logo", "xlogo -geometry 150x150+300+300", "XLogo");
    entry("zelvorn-eyes", "Eyes", "xeyes -geometry 150x100+700+300", "XEyes");
    index = std::make_unique<DesktopEntryIndex>(std::vector<std::string>{data.path()});
    apps = std::make_unique<X11RunningApps>(*d.x, *d.clients, *d.ax, *index);
    launch = std::make_unique<X11LaunchServices>(*d.x, *d.clients, *apps, *index);
    controller = std::make_unique<WorkspaceController>(
        ControllerServices{d.loop, *d.ax, *d.windowList, *apps, *launch, d.desktop->displays(),
                           modal, files, environment, manager});
  }
  ~LiveShow() {
    // Whatever the workspaces launched is stopped with them.
    for (const auto& r : apps->all())
      if (r.bundleIdentifier && r.bundleIdentifier->rfind("zelvorn-", 0) == 0) {
        kill(r.pid, SIGTERM);
        waitpid(r.pid, nullptr, WNOHANG);
      }
    d.loop.runUntil([] { return false; }, 0.1);
  }

  void entry(const std::string& id, const std::string& name, const std::string& exec,
             const std::string& cls) {
    std::ofstream(data / ("applications/" + id + ".desktop"))
        << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=" << exec
        << "\nStartupWMClass=" << cls << "\n";
  }

  Workspace addWorkspace(const std::string& name, LayoutType type,
                         const std::vector<std::string>& ids) {
    Workspace w = manager.createWorkspace(name);
    w.layout.type = type;
    for (const auto& id : ids) {
      std::string path = data / ("applications/" + id + ".desktop");
      ManagedApp app;
      app.id = Uuid::random();
      app.bundleIdentifier = id + ".desktop";
      app.displayName = launch->readBundle(path)->displayName.value_or(id);
      app.appPath = path;
      app.appURLBookmark = launch->makeBookmark(path);
      w.apps.push_back(app);
    }
    manager.update(w);
    return *manager.workspace(w.id);
  }

  std::vector<AXRect> paneRects(const Uuid& id) {
    auto w = manager.workspace(id);
    auto* s = controller->session(id);
    if (!w || !s) return {};
    WorkspaceGeometry::ContainerFacts facts;
    facts.sessionContainerAXRect = s->containerAXRect;
    return WorkspaceGeometry::tileRects(*w, facts).rects;
  }

  std::optional<AXRect> frameOf(const std::string& id) {
    auto running = apps->withBundleIdentifier(id + ".desktop");
    if (running.empty()) return std::nullopt;
    auto windows = d.clients->windowsOf(running.front().pid);
    if (windows.empty()) return std::nullopt;
    AXWindowController c = d.controller();
    AXElement w = X11Accessibility::windowElement(windows.front());
    auto p = c.point(w, "AXPosition");
    auto s = c.sizeValue(w, "AXSize");
    if (!p || !s) return std::nullopt;
    return AXRect{p->x, p->y, s->width, s->height};
  }

  // Shows the workspace and runs the loop until every app's window is in its pane.
  bool showAndSettle(const Workspace& w) {
    bool shown = false;
    controller->showWorkspace(w.id, [&] { shown = true; });
    return d.loop.runUntil(
        [&] {
          if (!shown) return false;
          auto rects = paneRects(w.id);
          if (rects.size() != w.apps.size()) return false;
          for (std::size_t i = 0; i < rects.size(); ++i)
            if (!fits(frameOf(w.apps[i].bundleIdentifier.substr(
                          0, w.apps[i].bundleIdentifier.size() - 8)),
                      rects[i], w.apps[i].bundleIdentifier))
              return false;
          return true;
        },
        20);
  }

  // Within the placement tolerance, or for a window with resize increments at the pane's origin
  // and short of it by less than one increment.
  bool fits(const std::optional<AXRect>& frame, const AXRect& pane, const std::string& bundleID) {
    if (!frame) return false;
    if (AXWindowController::matches(*frame, pane, AXWindowController::kPlacementTolerance))
      return true;
    auto running = apps->withBundleIdentifier(bundleID);
    if (running.empty()) return false;
    auto windows = d.clients->windowsOf(running.front().pid);
    if (windows.empty()) return false;
    AXWindowController c = d.controller();
    auto inc = c.sizeValue(X11Accessibility::windowElement(windows.front()),
                           X11Accessibility::kResizeIncrements);
    if (!inc) return false;
    auto shortBy = [](double want, double got, double step) {
      return want - got >= 0 && want - got < step;
    };
    return frame->x == pane.x && frame->y == pane.y &&
           shortBy(pane.width, frame->width, inc->width) &&
           shortBy(pane.height, frame->height, inc->height);
  }

  bool isIconic(const std::string& id) {
    auto running = apps->withBundleIdentifier(id + ".desktop");
    if (running.empty()) return false;
    auto windows = d.clients->windowsOf(running.front().pid);
    return !windows.empty() && std::all_of(windows.begin(), windows.end(),
                                           [&](xcb_window_t w) { return d.x->isIconic(w); });
  }

  LiveDesktop& d;
  CapturingConsole console;
  TempDir data;
  std::unique_ptr<DesktopEntryIndex> index;
  std::unique_ptr<X11RunningApps> apps;
  std::unique_ptr<X11LaunchServices> launch;
  InMemoryFileSystem files;
  SimEnvironment environment;
  SimModalUI modal;
  WorkspaceManager manager{std::make_unique<WorkspaceStore>(files, "/Zelvorn"), nullptr};
  std::unique_ptr<WorkspaceController> controller;
};

TEST(X11Show, TwoAndThreeAppWorkspacesOfRealWindowsAreTiled) {
  ZELVORN_REQUIRE_DESKTOP(d);
  LiveShow live(*d);
  auto two =
      live.addWorkspace("Pair", LayoutType::leftRightSplit, {"zelvorn-clock", "zelvorn-eyes"});
  ASSERT_TRUE(live.showAndSettle(two)) << "windows did not reach their panes";
  auto rects = live.paneRects(two.id);
  EXPECT_EQ(live.frameOf("zelvorn-clock"), rects[0]);
  EXPECT_EQ(live.frameOf("zelvorn-eyes"), rects[1]);  // a client that names no pid of its own
  EXPECT_TRUE(live.modal.alerts().empty());

  // Three apps, two of them terminals that size in whole character cells.
  auto three = live.addWorkspace("Terms", LayoutType::threeColumns,
                                 {"zelvorn-term-a", "zelvorn-term-b", "zelvorn-logo"});
  bool settled = live.showAndSettle(three);
  rects = live.paneRects(three.id);
  ASSERT_EQ(rects.size(), 3u);
  ASSERT_TRUE(settled) << "windows did not reach their panes";
  EXPECT_EQ(live.frameOf("zelvorn-logo"), rects[2]);
  // A terminal that came out short by more than the tolerance is a refusal, logged once however
  // often it is placed again.
  live.d.loop.runUntil([] { return false; }, 0.3);
  for (std::string name : {"Term A", "Term B"}) {
    int refusals = 0;
    for (const auto& line : live.console.lines())
      if (line.rfind("[Zelvorn] " + name + " refused its pane:", 0) == 0) ++refusals;
    EXPECT_LE(refusals, 1) << name;
  }
  EXPECT_TRUE(live.modal.alerts().empty());
}

TEST(X11Show, AHiddenAppsWindowsAreIconifiedAndComeBackOnShow) {
  ZELVORN_REQUIRE_DESKTOP(d);
  LiveShow live(*d);
  auto w =
      live.addWorkspace("Pair", LayoutType::topBottomSplit, {"zelvorn-clock", "zelvorn-term-a"});
  ASSERT_TRUE(live.showAndSettle(w));
  live.controller->hideWorkspace(w.id);
  ASSERT_TRUE(d->loop.runUntil(
      [&] { return live.isIconic("zelvorn-clock") && live.isIconic("zelvorn-term-a"); }, 5));
  ASSERT_TRUE(live.showAndSettle(w));
  EXPECT_FALSE(live.isIconic("zelvorn-clock"));
  EXPECT_FALSE(live.isIconic("zelvorn-term-a"));
}

}  // namespace
}  // namespace zelvorn
