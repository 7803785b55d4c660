// Pane arithmetic on the hot path: one layout per step of a divider or window drag.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "Layout/LayoutEngine.h"
#include "Layout/WorkspaceGeometry.h"
#include "Models/LayoutType.h"

namespace zelvorn {
namespace {

// Each type with the pane count it is usually shown with.
constexpr int kUsualCount[] = {2, 2, 4, 2, 3, 3, 3, 3, 3};

void BM_paneLayout(benchmark::State& state) {
  auto type = kAllLayoutTypes[static_cast<std::size_t>(state.range(0))];
  int count = kUsualCount[state.range(0)];
  const std::optional<std::vector<double>> ratios = std::vector<double>{0.42, 0.58};
  Rect container{3, 28, 1506, 948};
  for (auto _ : state) {
    auto layout = LayoutEngine::paneLayout(type, container, count, ratios, 6, 0, true);
    benchmark::DoNotOptimize(layout);
  }
  state.SetLabel(std::string(rawValue(type)));
}
BENCHMARK(BM_paneLayout)->DenseRange(0, 8);

// The rectangles a shown four-app grid workspace places its windows in.
void BM_tileRects_fourApps(benchmark::State& state) {
  Workspace w;
  w.name = "Four";
  for (int i = 0; i < 4; ++i) {
    ManagedApp app;
    app.bundleIdentifier = "com.example.app" + std::to_string(i);
    w.apps.push_back(app);
  }
  w.layout.type = LayoutType::grid2x2;
  w.layout.ratios = std::vector<double>{0.45, 0.55};
  WorkspaceGeometry::ContainerFacts facts{AXRect{12, 37, 1488, 933}, std::nullopt, std::nullopt};
  for (auto _ : state) {
    auto tiles = WorkspaceGeometry::tileRects(w, facts);
    benchmark::DoNotOptimize(tiles);
  }
}
BENCHMARK(BM_tileRects_fourApps);

}  // namespace
}  // namespace zelvorn
