// Marks a workspace as a three-column workspace and remembers the split of whichever arrangement
// (three columns, or folded into one left / two right) is not in use.
#pragma once

#include <optional>
#include <vector>

namespace zelvorn {

struct ThreeColumnsState {
  bool folded = false;
  std::optional<std::vector<double>> parkedRatios;

  bool operator==(const ThreeColumnsState&) const = default;
};

}  // namespace zelvorn
