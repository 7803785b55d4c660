// Pane arithmetic on the hot path: one layout per step of a divider or window drag.
#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

#include "Layout/LayoutEngine.h"
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

}  // namespace
}  // namespace zelvorn
