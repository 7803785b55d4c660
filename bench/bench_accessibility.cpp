// Cost of the window-access core: a successful placement and a full window read of an
// application with ten windows. Each is first checked on the simulated desktop for exactly the
// platform calls it should make, then timed against a platform that answers at once, so the
// figure is the core's own cost.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Accessibility/AXWindowController.h"
#include "Sim/SimDesktop.h"

namespace zelvorn {
namespace {

// Answers every call at once from fixed values: the platform cost left is a virtual call and a
// short string comparison per call.
class InstantAccessibility final : public IAccessibility {
 public:
  AXPoint position{40, 30};
  Size size{700, 500};
  std::vector<AXElement> windows;
  long calls = 0;

  bool isProcessTrusted() override { return true; }
  bool requestTrustWithPrompt() override { return true; }
  AXElement applicationElement(Pid pid) override {
    return AXElement{static_cast<std::uint64_t>(pid)};
  }
  Pid pidOf(const AXElement&) override { return 1; }
  std::optional<WindowNumber> windowNumber(const AXElement&) override { return 1; }
  AXError copyAttribute(const AXElement&, std::string_view attribute, AXValue& out) override {
    ++calls;
    switch (attribute.size() > 2 ? attribute[2] : 0) {
      case 'P':  // AXPosition
        out = position;
        return kAXErrorSuccess;
      case 'S':  // AXSize, AXSubrole
        if (attribute[3] == 'i') {
          out = size;
        } else {
          out = std::string("AXStandardWindow");
        }
        return kAXErrorSuccess;
      case 'W':  // AXWindows
        out = windows;
        return kAXErrorSuccess;
      case 'T':  // AXTitle
        out = std::string("Document");
        return kAXErrorSuccess;
      case 'R':  // AXRole
        out = std::string("AXWindow");
        return kAXErrorSuccess;
      case 'M':  // AXMinimized, AXMain
      case 'F':  // AXFullScreen
        out = false;
        return kAXErrorSuccess;
      default:
        return kAXErrorNoValue;
    }
  }
  AXError setAttribute(const AXElement&, std::string_view, const AXValue&) override {
    ++calls;
    return kAXErrorSuccess;
  }
  AXError performAction(const AXElement&, std::string_view) override { return kAXErrorSuccess; }
  AXError setMessagingTimeout(const AXElement&, float) override { return kAXErrorSuccess; }
  AXError createObserver(Pid, std::function<void(const AXNotification&)>,
                         std::unique_ptr<IAXObserver>&) override {
    return kAXErrorFailure;
  }
};

class NoWindowList final : public IWindowList {
 public:
  std::optional<std::vector<WindowListEntry>> copyWindowList(unsigned) override { return {}; }
};

class NoDisplays final : public IDisplays {
 public:
  std::vector<ScreenInfo> screens() const override { return {}; }
  std::optional<std::size_t> mainScreenIndex() const override { return {}; }
};

struct Desktop {
  VirtualMainLoop loop;
  SimDesktop desk{loop};
  AXWindowController ax{desk.accessibility(), desk.windowList(), desk.displays()};
  Pid pid = 0;
  Desktop(int windows) {
    SimAppSpec app;
    app.bundlePath = "/Applications/Editor.app";
    app.bundleIdentifier = "com.example.editor";
    app.windowsAtLaunch = std::vector<SimWindowSpec>(static_cast<std::size_t>(windows));
    desk.install(app);
    pid = desk.launch("com.example.editor");
  }
};

const AXRect kTarget{40, 30, 700, 500};

void BM_PlaceCore(benchmark::State& state) {
  // On the simulated desktop first: a successful placement is four writes and two reads.
  Desktop sim(1);
  AXElement simWindow = sim.desk.windowElement(sim.desk.windows(sim.pid)[0]);
  sim.desk.recorder().clear();
  auto outcome = sim.ax.place(simWindow, kTarget);
  auto writes = sim.desk.recorder().count(SimCallKind::axWrite);
  auto reads = sim.desk.recorder().count(SimCallKind::axRead);
  if (!std::holds_alternative<AXWindowController::Placed>(outcome) || writes != 4 || reads != 2) {
    state.SkipWithError("a successful place did not make exactly four writes and two reads");
    return;
  }

  InstantAccessibility platform;
  NoWindowList list;
  NoDisplays displays;
  AXWindowController ax{platform, list, displays};
  AXElement window{7};
  for (auto _ : state)
    benchmark::DoNotOptimize(ax.place(window, kTarget));
  state.counters["writes"] = static_cast<double>(writes);
  state.counters["reads"] = static_cast<double>(reads);
  state.counters["platformCallsPerPlace"] =
      static_cast<double>(platform.calls) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PlaceCore);

// The instant platform's own share of BM_PlaceCore: the same six calls made directly.
void BM_PlaceInstantPlatformOnly(benchmark::State& state) {
  InstantAccessibility platform;
  IAccessibility& ax = platform;
  AXElement window{7};
  AXValue v;
  for (auto _ : state) {
    ax.setAttribute(window, "AXMinimized", false);
    ax.setAttribute(window, "AXSize", kTarget.size());
    ax.setAttribute(window, "AXPosition", kTarget.origin());
    ax.setAttribute(window, "AXSize", kTarget.size());
    ax.copyAttribute(window, "AXPosition", v);
    ax.copyAttribute(window, "AXSize", v);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_PlaceInstantPlatformOnly);

// The same placement with the simulated desktop doing the work (for scale: the sim's cost).
void BM_PlaceOnSimDesktop(benchmark::State& state) {
  Desktop sim(1);
  sim.desk.recorder().setEnabled(false);
  AXElement window = sim.desk.windowElement(sim.desk.windows(sim.pid)[0]);
  const AXRect other{60, 50, 640, 480};
  bool flip = false;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sim.ax.place(window, flip ? other : kTarget));
    flip = !flip;
  }
}
BENCHMARK(BM_PlaceOnSimDesktop);

void BM_WindowInfosTenWindowsCore(benchmark::State& state) {
  Desktop sim(10);
  sim.desk.recorder().clear();
  auto infos = sim.ax.windowInfos(sim.pid);
  auto reads = sim.desk.recorder().count(SimCallKind::axRead);
  // One read of the window list, then the nine attributes of each window.
  if (infos.size() != 10 || reads != 1 + 9 * 10) {
    state.SkipWithError("windowInfos did not read nine attributes per window");
    return;
  }

  InstantAccessibility platform;
  for (int i = 0; i < 10; ++i)
    platform.windows.emplace_back(static_cast<std::uint64_t>(100 + i));
  NoWindowList list;
  NoDisplays displays;
  AXWindowController ax{platform, list, displays};
  for (auto _ : state)
    benchmark::DoNotOptimize(ax.windowInfos(1));
  state.counters["attributeReadsPerWindow"] = 9;
  state.counters["readsPerCall"] = static_cast<double>(reads);
}
BENCHMARK(BM_WindowInfosTenWindowsCore);

// The instant platform's own share of the read above: the same 91 calls made directly.
void BM_WindowInfosInstantPlatformOnly(benchmark::State& state) {
  InstantAccessibility platform;
  for (int i = 0; i < 10; ++i)
    platform.windows.emplace_back(static_cast<std::uint64_t>(100 + i));
  IAccessibility& ax = platform;
  const char* attributes[] = {"AXTitle",     "AXRole", "AXSubrole",    "AXPosition",  "AXSize",
                              "AXMinimized", "AXMain", "AXFullScreen", "AXIdentifier"};
  AXValue v;
  for (auto _ : state) {
    ax.copyAttribute(AXElement{1}, "AXWindows", v);
    for (const auto& w : platform.windows)
      for (const char* a : attributes) {
        ax.copyAttribute(w, a, v);
        benchmark::DoNotOptimize(v);
      }
  }
}
BENCHMARK(BM_WindowInfosInstantPlatformOnly);

void BM_WindowInfosTenWindowsOnSimDesktop(benchmark::State& state) {
  Desktop sim(10);
  sim.desk.recorder().setEnabled(false);
  for (auto _ : state)
    benchmark::DoNotOptimize(sim.ax.windowInfos(sim.pid));
}
BENCHMARK(BM_WindowInfosTenWindowsOnSimDesktop);

}  // namespace
}  // namespace zelvorn
