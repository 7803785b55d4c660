// How a workspace's panes are arranged: the layout type, its split ratios and, for a three-column
// workspace, the three-column state. Folding swaps the live ratios with the parked ones.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Models/LayoutType.h"
#include "Models/SplitNode.h"
#include "Models/ThreeColumnsState.h"

namespace zelvorn {

struct Layout {
  // Equal thirds.
  inline static const std::vector<double> threeColumnsDefaultRatios = {1.0 / 3.0, 0.5};
  // The folded "1 + 2" arrangement.
  inline static const std::vector<double> oneLeftTwoRightDefaultRatios = {0.5, 0.5};

  LayoutType type = LayoutType::leftRightSplit;
  std::optional<SplitNode> splitTree;
  // Absent or empty: every ratio takes its default.
  std::optional<std::vector<double>> ratios;
  std::optional<std::map<std::string, std::string>> paneAssignments;
  // Present exactly when the workspace is a three-column workspace.
  std::optional<ThreeColumnsState> threeColumns;

  bool operator==(const Layout&) const = default;

  std::string displayName() const;
  Layout foldingThreeColumns(bool folded) const;
};

}  // namespace zelvorn
