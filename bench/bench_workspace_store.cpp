// Loading and saving the workspaces file: a typical one (10 workspaces of 3 apps with 12 KB icons)
// and larger ones to show how the cost grows. In memory (the codec's cost) and on the real disk
// (with the atomic write's sync).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include <unistd.h>

#include "Persistence/WorkspaceStore.h"
#include "Posix/PosixFileSystem.h"
#include "Sim/InMemoryFileSystem.h"

namespace zelvorn {
namespace {

Bytes randomBytes(std::mt19937& rng, std::size_t n) {
  Bytes b(n);
  for (auto& x : b)
    x = static_cast<std::uint8_t>(rng());
  return b;
}

std::vector<Workspace> typicalWorkspaces(int count) {
  std::mt19937 rng(42);
  std::vector<Workspace> list;
  for (int i = 0; i < count; ++i) {
    Workspace w;
    w.id = Uuid::random();
    w.name = "Workspace " + std::to_string(i);
    for (int k = 0; k < 3; ++k) {
      ManagedApp a;
      a.id = Uuid::random();
      a.displayName = "App " + std::to_string(k);
      a.bundleIdentifier = "com.example.app" + std::to_string(k);
      a.appURLBookmark = randomBytes(rng, 600);
      a.appPath = "/Applications/App " + std::to_string(k) + ".app";
      a.iconData = randomBytes(rng, 12 * 1024);
      a.role = k == 0 ? AppRole::primary : AppRole::secondary;
      a.observedMinSize = SizeModel{480, 320.5};
      a.lastDocumentPath = "/Users/me/Documents/notes " + std::to_string(k) + ".txt";
      w.apps.push_back(std::move(a));
    }
    w.layout.type = LayoutType::threeLeftOneRightTwo;
    w.layout.ratios = std::vector<double>{0.3333333333333333, 0.5};
    w.primaryAppID = w.apps[0].id;
    w.primaryAppBundleIdentifier = w.apps[0].bundleIdentifier;
    w.lastContainerFrame = RectModel{12.5, 37, 1415, 843.25};
    w.topologyFrames = std::map<std::string, RectModel>{
        {"37D8832A-2D66-02CA-B9F7-8F30A301B230@0,0,1440x900", {12.5, 37, 1415, 843.25}},
        {"37D8832A-2D66-02CA-B9F7-8F30A301B230@0,0,1440x900|9A1C@1440,0,2560x1440",
         {1500, 40, 2400, 1300}}};
    list.push_back(std::move(w));
  }
  return list;
}

void BM_SaveInMemory(benchmark::State& state) {
  InMemoryFileSystem fs;
  WorkspaceStore store(fs, "/support/Zelvorn");
  auto list = typicalWorkspaces(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(store.save(list));
  state.SetComplexityN(state.range(0));
  state.counters["bytes"] = static_cast<double>(fs.stat(store.fileURL()).size);
}
BENCHMARK(BM_SaveInMemory)
    ->Arg(10)
    ->Arg(50)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_LoadInMemory(benchmark::State& state) {
  InMemoryFileSystem fs;
  WorkspaceStore store(fs, "/support/Zelvorn");
  store.save(typicalWorkspaces(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    auto loaded = store.load();
    if (!loaded) state.SkipWithError(loaded.error().description.c_str());
    benchmark::DoNotOptimize(loaded);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadInMemory)
    ->Arg(10)
    ->Arg(50)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

std::string scratchFolder() {
  auto dir =
      std::filesystem::temp_directory_path() / ("zelvorn-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

void BM_SaveOnDisk(benchmark::State& state) {
  PosixFileSystem fs;
  auto dir = scratchFolder();
  WorkspaceStore store(fs, dir + "/Zelvorn");
  auto list = typicalWorkspaces(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(store.save(list));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveOnDisk)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_LoadOnDisk(benchmark::State& state) {
  PosixFileSystem fs;
  auto dir = scratchFolder();
  WorkspaceStore store(fs, dir + "/Zelvorn");
  store.save(typicalWorkspaces(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    auto loaded = store.load();
    if (!loaded) state.SkipWithError(loaded.error().description.c_str());
    benchmark::DoNotOptimize(loaded);
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadOnDisk)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvorn
