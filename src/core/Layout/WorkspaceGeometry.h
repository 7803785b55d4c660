// The geometry a workspace's own settings imply: which layout it is drawn with, the ratios tiling
// uses in a given container, where its container is and the rectangle each app is placed in. Pure
// functions of the workspace and of the few desktop facts they need, for the session controller,
// the chrome and diagnostics.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Models/LayoutType.h"
#include "Models/Workspace.h"
#include "Platform/Geometry.h"

namespace zelvorn {

class WorkspaceGeometry {
 public:
  // What the container of a workspace depends on besides the workspace itself.
  struct ContainerFacts {
    // The container of the workspace's session while it is shown.
    std::optional<AXRect> sessionContainerAXRect;
    // The fingerprint of the current display set.
    std::optional<std::string> currentTopology;
    // The main display's visible frame.
    std::optional<AXRect> mainScreenVisibleAX;
  };

  struct TileRects {
    std::vector<double> ratios;
    std::vector<AXRect> rects;  // rectangle i belongs to app i
    bool operator==(const TileRects&) const = default;
  };

  // Tiling margin and gutter of the normal path, and the spacing of the spaced path.
  static constexpr double kContainerMargin = 3;
  static constexpr double kTileGutter = 6;
  static constexpr double kSpacedGutter = 8;
  static constexpr double kMinPaneLength = 320;

  // A three-column workspace (three apps, stored as 1 + 2 with a three-column state) is drawn as
  // three columns unless folded.
  static bool isThreeColumnsWorkspace(const Workspace& workspace);
  static LayoutType geometryType(const Workspace& workspace);
  static std::vector<double> storedRatios(const Workspace& workspace);
  static std::vector<double> threeColumnsRatios(const Workspace& workspace);
  static std::vector<double> effectiveRatios(const Workspace& workspace, const AXRect& container);
  // Where the workspace would be shown when it has no session: its home for the display set, its
  // last container, the main display's visible frame less 12 points all round, or a fixed frame.
  static AXRect rememberedContainerAXRect(const Workspace& workspace,
                                          const std::optional<std::string>& currentTopology,
                                          const std::optional<AXRect>& mainScreenVisibleAX);
  static AXRect currentContainerAXRect(const Workspace& workspace, const ContainerFacts& facts);
  static TileRects tileRects(const Workspace& workspace, const ContainerFacts& facts);
};

}  // namespace zelvorn
