// Showing a workspace of four running applications on a real X display (run under
// scripts/with-xvfb): from the request to the last of the four windows placed and read back, set
// against the window manager's own move/resize latency measured in the same run. Each iteration
// changes the split, so every show really moves all four windows. Skips itself (exit 77) without
// an X display whose window manager answers.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb_ewmh.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Core/WorkspaceController.h"
#include "Core/WorkspaceManager.h"
#include "Linux/LinuxDesktop.h"
#include "Persistence/WorkspaceStore.h"
#include "Sim/InMemoryFileSystem.h"
#include "Sim/SimEnvironment.h"
#include "Sim/SimModalUI.h"

namespace zelvorn {
namespace {

namespace fs = std::filesystem;

// The four applications: clients that draw quickly and take any size.
struct AppEntry {
  const char* id;
  const char* exec;
  const char* wmClass;
};
constexpr AppEntry kApps[] = {
    {"zelvorn-bench-clock", "xclock -geometry 150x150+40+600", "XClock"},
    {"zelvorn-bench-logo", "xlogo -geometry 150x150+240+600", "XLogo"},
    {"zelvorn-bench-eyes", "xeyes -geometry 150x100+440+600", "XEyes"},
    {"zelvorn-bench-load", "xload -geometry 150x100+640+600", "XLoad"},
};

struct LiveWorkspace {
  PosixMainLoop loop;
  std::unique_ptr<LinuxDesktop> desktop;
  fs::path data;
  std::unique_ptr<DesktopEntryIndex> index;
  std::unique_ptr<X11RunningApps> apps;
  std::unique_ptr<X11LaunchServices> launch;
  InMemoryFileSystem files;
  SimModalUI modal;
  SimEnvironment environment;
  WorkspaceManager manager{std::make_unique<WorkspaceStore>(files, "/Zelvorn"), nullptr};
  std::unique_ptr<WorkspaceController> controller;
  Workspace workspace;

  // False when there is no desktop or the workspace could not be shown.
  bool open() {
    desktop = LinuxDesktop::open(loop);
    if (!desktop) return false;
    char folder[] = "/tmp/zelvorn-bench-XXXXXX";
    if (!mkdtemp(folder)) return false;
    data = folder;
    fs::create_directories(data / "applications");
    for (const auto& a : kApps)
      std::ofstream(data / "applications" / (std::string(a.id) + ".desktop"))
          << "[Desktop Entry]\nType=Application\nName=" << a.id << "\nExec=" << a.exec
          << "\nStartupWMClass=" << a.wmClass << "\n";
    index = std::make_unique<DesktopEntryIndex>(std::vector<std::string>{data.string()});
    auto& x = desktop->connection();
    apps =
        std::make_unique<X11RunningApps>(x, desktop->clients(), desktop->accessibility(), *index);
    launch = std::make_unique<X11LaunchServices>(x, desktop->clients(), *apps, *index);
    controller = std::make_unique<WorkspaceController>(
        ControllerServices{loop, desktop->accessibility(), desktop->windowList(), *apps, *launch,
                           desktop->displays(), modal, files, environment, manager});

    workspace = manager.createWorkspace("Four");
    workspace.layout.type = LayoutType::grid2x2;
    for (const auto& a : kApps) {
      std::string path = (data / "applications" / (std::string(a.id) + ".desktop")).string();
      ManagedApp app;
      app.id = Uuid::random();
      app.bundleIdentifier = std::string(a.id) + ".desktop";
      app.displayName = a.id;
      app.appPath = path;
      app.appURLBookmark = launch->makeBookmark(path);
      workspace.apps.push_back(app);
    }
    manager.update(workspace);
    // The first show launches the four; the loop runs until each has its pane.
    controller->showWorkspace(workspace.id);
    return loop.runUntil(
        [&] {
          auto* s = controller->session(workspace.id);
          return s && s->elements.size() == 4;
        },
        20);
  }

  ~LiveWorkspace() {
    if (apps)
      for (const auto& r : apps->all())
        if (r.bundleIdentifier && r.bundleIdentifier->rfind("zelvorn-bench-", 0) == 0) {
          kill(r.pid, SIGTERM);
          waitpid(r.pid, nullptr, 0);
        }
    if (!data.empty()) fs::remove_all(data);
  }

  void setSplit(bool wide) {
    auto w = *manager.workspace(workspace.id);
    w.layout.ratios = wide ? std::vector<double>{0.55, 0.45} : std::vector<double>{0.45, 0.55};
    manager.update(w);
  }

  // Lets events and delayed work of the last show run out.
  void drain() {
    loop.runUntil([] { return false; }, 0.03);
  }

  // Each app's window, in pane order.
  std::vector<xcb_window_t> windows() {
    std::vector<xcb_window_t> out;
    for (const auto& a : kApps) {
      auto running = apps->withBundleIdentifier(std::string(a.id) + ".desktop");
      if (running.empty()) continue;
      auto list = desktop->clients().windowsOf(running.front().pid);
      if (!list.empty()) out.push_back(list.front());
    }
    return out;
  }

  // Where the windows are once the workspace is shown with the given split.
  std::vector<X11Geometry> geometriesInSplit(bool wide, const std::vector<xcb_window_t>& of) {
    setSplit(wide);
    controller->showWorkspace(workspace.id);
    drain();
    std::vector<X11Geometry> out;
    for (auto window : of)
      out.push_back(desktop->connection().geometry(window).value_or(X11Geometry{}));
    return out;
  }

  // Asks the window manager itself for a window's geometry (NorthWest gravity: the frame's corner
  // and the client's size).
  void request(xcb_window_t window, const X11Geometry& to) {
    auto& x = desktop->connection();
    xcb_ewmh_request_moveresize_window(
        x.ewmh(), x.screenNumber(), window, XCB_GRAVITY_NORTH_WEST,
        XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
        static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(
            XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y |
            XCB_EWMH_MOVERESIZE_WINDOW_WIDTH | XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT),
        static_cast<std::uint32_t>(to.frame().x), static_cast<std::uint32_t>(to.frame().y),
        static_cast<std::uint32_t>(to.client.width), static_cast<std::uint32_t>(to.client.height));
  }

  // Until every window's client has the geometry asked for; false after a second without.
  bool awaitClients(const std::vector<xcb_window_t>& of, const std::vector<X11Geometry>& to) {
    auto& x = desktop->connection();
    xcb_flush(x.xcb());
    return x.waitUntil(
        [&] {
          for (std::size_t i = 0; i < of.size(); ++i) {
            auto g = x.geometry(of[i]);
            if (!g || g->client != to[i].client) return false;
          }
          return true;
        },
        1.0);
  }
};

LiveWorkspace* live() {
  static std::unique_ptr<LiveWorkspace> shared = [] {
    auto w = std::make_unique<LiveWorkspace>();
    if (!w->open()) {
      std::fprintf(stderr, "bench_x11_show: no X display with a window manager; skipped\n");
      std::exit(77);
    }
    return w;
  }();
  return shared.get();
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Every time the window manager benchmarks saw, for the show's ratios.
std::vector<double> windowManagerSamples;
std::vector<double> fourAtOnceSamples;

// The window manager's own answer to the kind of request a show makes: the first window moved
// and resized between the frames of its pane in the two splits, timed from the request until the
// client has the new geometry.
void BM_WindowManagerMoveResize(benchmark::State& state) {
  auto* w = live();
  auto all = w->windows();
  if (all.empty()) state.SkipWithError("no window");
  std::vector<xcb_window_t> first(all.begin(), all.begin() + std::min<std::size_t>(1, all.size()));
  std::vector<X11Geometry> panes[2] = {w->geometriesInSplit(false, first),
                                       w->geometriesInSplit(true, first)};
  bool wide = true;
  for (auto _ : state) {
    wide = !wide;
    auto t0 = Clock::now();
    if (!first.empty()) w->request(first[0], panes[wide][0]);
    bool answered = w->awaitClients(first, panes[wide]);
    double took = secondsSince(t0);
    state.SetIterationTime(took);
    windowManagerSamples.push_back(took);
    if (!answered) state.SkipWithError("the window manager did not answer");
    w->drain();
  }
}
BENCHMARK(BM_WindowManagerMoveResize)
    ->UseManualTime()
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);

// For comparison, the best the window manager does with four windows: all four requests sent at
// once, timed until every client has its new geometry.
void BM_WindowManagerFourAtOnce(benchmark::State& state) {
  auto* w = live();
  auto windows = w->windows();
  if (windows.size() != 4) state.SkipWithError("not four windows");
  std::vector<X11Geometry> panes[2] = {w->geometriesInSplit(false, windows),
                                       w->geometriesInSplit(true, windows)};
  bool wide = true;
  for (auto _ : state) {
    wide = !wide;
    auto t0 = Clock::now();
    for (std::size_t i = 0; i < windows.size(); ++i)
      w->request(windows[i], panes[wide][i]);
    bool answered = w->awaitClients(windows, panes[wide]);
    double took = secondsSince(t0);
    state.SetIterationTime(took);
    fourAtOnceSamples.push_back(took);
    if (!answered) state.SkipWithError("the window manager did not answer");
    w->drain();
  }
}
BENCHMARK(BM_WindowManagerFourAtOnce)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

// From the request to the last of four windows placed, apps already running. The counter
// "x_wm" is the median show over the median window manager answer for one window; "x_four" the
// median show over the window manager's own time for four windows at once.
void BM_ShowFourRunningAppsOnX11(benchmark::State& state) {
  auto* w = live();
  bool wide = false;
  std::vector<double> samples;
  for (auto _ : state) {
    wide = !wide;
    w->setSplit(wide);
    auto t0 = Clock::now();
    w->controller->showWorkspace(w->workspace.id);
    double took = secondsSince(t0);
    state.SetIterationTime(took);
    samples.push_back(took);
    w->drain();
  }
  auto* session = w->controller->session(w->workspace.id);
  if (!session || session->elements.size() != 4) state.SkipWithError("not tiled");
  if (double wm = median(windowManagerSamples); wm > 0) {
    state.counters["wm_ms"] = wm * 1000;
    state.counters["x_wm"] = median(samples) / wm;
  }
  if (double four = median(fourAtOnceSamples); four > 0)
    state.counters["x_four"] = median(samples) / four;
}
BENCHMARK(BM_ShowFourRunningAppsOnX11)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvorn
