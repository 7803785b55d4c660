// Cost of showing a workspace of four applications that are running with their windows: the whole
// show flow, tiled on its first poll. Before timing, the run is checked on the simulated desktop
// for exactly the platform writes of four placements; the counters report the platform calls one
// show makes. The time includes the simulated desktop answering those calls.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "Core/AppRegistry.h"
#include "Core/WorkspaceController.h"
#include "Core/WorkspaceManager.h"
#include "Persistence/WorkspaceStore.h"
#include "Sim/InMemoryFileSystem.h"
#include "Sim/SimDesktop.h"
#include "Sim/SimEnvironment.h"
#include "Sim/SimModalUI.h"
#include "Sim/VirtualMainLoop.h"

namespace zelvorn {
namespace {

struct Desk {
  VirtualMainLoop loop;
  SimDesktop desktop{loop};
  InMemoryFileSystem files;
  SimModalUI modal;
  SimEnvironment environment;
  WorkspaceManager manager{std::make_unique<WorkspaceStore>(files, "/Zelvorn"), nullptr};
  AppRegistry registry{desktop.launchServices(), files};
  std::unique_ptr<WorkspaceController> controller;
  Workspace workspace;

  Desk() {
    controller = std::make_unique<WorkspaceController>(ControllerServices{
        loop, desktop.accessibility(), desktop.windowList(), desktop.runningApps(),
        desktop.launchServices(), desktop.displays(), modal, files, environment, manager});
    workspace = manager.createWorkspace("Four");
    workspace.layout.type = LayoutType::grid2x2;
    for (std::string name : {"Notes", "Mail", "Editor", "Terminal"}) {
      SimAppSpec desc;
      desc.bundlePath = "/Applications/" + name + ".app";
      desc.bundleIdentifier = "com.example." + name;
      desc.name = name;
      files.putFile(desc.bundlePath, "bundle");
      desktop.install(desc);
      desktop.launch(*desc.bundleIdentifier);
      workspace.apps.push_back(registry.makeManagedApp(desc.bundlePath).value());
    }
    manager.update(workspace);
  }
};

void check(bool ok, const char* what) {
  if (ok) return;
  std::cerr << "bench_show: " << what << "\n";
  std::abort();
}

void BM_ShowFourRunningApps(benchmark::State& state) {
  Desk desk;
  auto& recorder = desk.desktop.recorder();
  // The first show: tiled on the first poll, with exactly four placements' writes.
  recorder.clear();
  bool shown = false;
  desk.controller->showWorkspace(desk.workspace.id, [&] { shown = true; });
  check(shown, "not shown");
  auto* session = desk.controller->session(desk.workspace.id);
  check(session && session->elements.size() == 4, "not tiled on the first poll");
  check(recorder.count(SimCallKind::axWrite) == 16, "writes other than four placements");
  check(recorder.count(SimCallKind::axWrite, "AXPosition") == 4, "position writes");
  desk.loop.advance(1.5);

  recorder.clear();
  desk.controller->showWorkspace(desk.workspace.id);
  std::size_t calls = recorder.calls().size();
  std::size_t writes = recorder.count(SimCallKind::axWrite);
  std::size_t reads = recorder.count(SimCallKind::axRead);
  check(writes == 16, "a repeated show writes other than four placements");
  desk.loop.advance(1.5);
  // Timed without the call recorder, whose bookkeeping is not the core's.
  recorder.setEnabled(false);
  for (auto _ : state) {
    desk.controller->showWorkspace(desk.workspace.id);
    state.PauseTiming();
    desk.loop.advance(1.5);
    state.ResumeTiming();
  }
  state.counters["platform_calls"] = static_cast<double>(calls);
  state.counters["ax_writes"] = static_cast<double>(writes);
  state.counters["ax_reads"] = static_cast<double>(reads);
}
BENCHMARK(BM_ShowFourRunningApps)->Unit(benchmark::kMicrosecond);

// The first show of a fresh controller: no window cached yet, each pane's window is chosen.
void BM_FirstShowOfFreshController(benchmark::State& state) {
  Desk desk;
  desk.desktop.recorder().setEnabled(false);
  for (auto _ : state) {
    state.PauseTiming();
    desk.controller = std::make_unique<WorkspaceController>(ControllerServices{
        desk.loop, desk.desktop.accessibility(), desk.desktop.windowList(),
        desk.desktop.runningApps(), desk.desktop.launchServices(), desk.desktop.displays(),
        desk.modal, desk.files, desk.environment, desk.manager});
    state.ResumeTiming();
    desk.controller->showWorkspace(desk.workspace.id);
    state.PauseTiming();
    check(desk.controller->session(desk.workspace.id)->elements.size() == 4, "not tiled");
    desk.loop.advance(1.5);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstShowOfFreshController)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zelvorn
