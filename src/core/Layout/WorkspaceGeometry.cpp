// Effective ratios and tile rectangles of a workspace, on top of the layout engine.
#include "Layout/WorkspaceGeometry.h"

#include <algorithm>

#include "Layout/LayoutEngine.h"

namespace zelvorn {

namespace {

bool splitsHeight(LayoutType type) {
  return type == LayoutType::topBottomSplit || type == LayoutType::threeTopTwoBottomOne ||
         type == LayoutType::threeTopOneBottomTwo;
}

std::vector<AXRect> toAX(const std::vector<Rect>& rects) {
  std::vector<AXRect> out;
  out.reserve(rects.size());
  for (const Rect& r : rects)
    out.push_back(retag<AXSpace>(r));
  return out;
}

}  // namespace

bool WorkspaceGeometry::isThreeColumnsWorkspace(const Workspace& workspace) {
  return workspace.layout.threeColumns.has_value() && workspace.apps.size() == 3 &&
         workspace.layout.type == LayoutType::threeLeftOneRightTwo;
}

LayoutType WorkspaceGeometry::geometryType(const Workspace& workspace) {
  if (!isThreeColumnsWorkspace(workspace)) return workspace.layout.type;
  return workspace.layout.threeColumns->folded ? LayoutType::threeLeftOneRightTwo
                                               : LayoutType::threeColumns;
}

std::vector<double> WorkspaceGeometry::storedRatios(const Workspace& workspace) {
  return workspace.layout.ratios.value_or(std::vector<double>{});
}

std::vector<double> WorkspaceGeometry::threeColumnsRatios(const Workspace& workspace) {
  const auto& stored = workspace.layout.ratios;
  LayoutType type = geometryType(workspace);
  return {LayoutEngine::ratioValue(stored, 0, type), LayoutEngine::ratioValue(stored, 1, type)};
}

std::vector<double> WorkspaceGeometry::effectiveRatios(const Workspace& workspace,
                                                       const AXRect& container) {
  std::vector<double> stored = storedRatios(workspace);
  LayoutType type = workspace.layout.type;
  double length = container.width;
  if (isThreeColumnsWorkspace(workspace)) {
    // Three columns are fitted to the apps' own widths elsewhere; only the folded 1 + 2 split
    // is kept within the minimum pane length.
    if (!workspace.layout.threeColumns->folded) return stored;
  } else if (type == LayoutType::threeColumns) {
    return stored;
  } else if (splitsHeight(type)) {
    length = container.height;
  }
  // The clamp measures the container less 8 points, while the tiled panes share the container
  // less its two 3-point margins and one 6-point gutter (12 points). Ratios have always been
  // stored against this measure, so it stays; a pane clamped to the minimum can therefore end up
  // to about 2 points short of 320 (320 × (L − 12) / (L − 8)).
  double r =
      LayoutEngine::clampSplitRatio(LayoutEngine::ratioValue(workspace.layout.ratios, 0, type),
                                    std::max(0.0, length - 8), kMinPaneLength);
  if (stored.empty()) return {r};
  stored[0] = r;
  return stored;
}

AXRect WorkspaceGeometry::rememberedContainerAXRect(
    const Workspace& workspace, const std::optional<std::string>& currentTopology,
    const std::optional<AXRect>& mainScreenVisibleAX) {
  if (auto home = workspace.homeFrame(currentTopology)) return *home;
  if (const auto& last = workspace.lastContainerFrame;
      last && last->isFinite() && last->width > 0 && last->height > 0)
    return last->axRect();
  if (mainScreenVisibleAX) return mainScreenVisibleAX->insetBy(12, 12);
  return {0, 0, 1280, 800};
}

AXRect WorkspaceGeometry::currentContainerAXRect(const Workspace& workspace,
                                                 const ContainerFacts& facts) {
  if (facts.sessionContainerAXRect) return *facts.sessionContainerAXRect;
  return rememberedContainerAXRect(workspace, facts.currentTopology, facts.mainScreenVisibleAX);
}

WorkspaceGeometry::TileRects WorkspaceGeometry::tileRects(const Workspace& workspace,
                                                          const ContainerFacts& facts) {
  AXRect container = currentContainerAXRect(workspace, facts);
  TileRects out;
  out.ratios = effectiveRatios(workspace, container);
  LayoutType type = geometryType(workspace);
  int n = static_cast<int>(workspace.apps.size());
  std::optional<std::vector<double>> ratios;
  if (!out.ratios.empty()) ratios = out.ratios;
  Rect c = retag<AnySpace>(container);

  if (workspace.layout.type == LayoutType::mainSidebar || n < 2) {
    // Spaced path: no outer margin, 8-point spacing.
    if (n == 0 || c.isEmpty()) return out;
    switch (type) {
      case LayoutType::leftRightSplit:
        for (const auto& s : LayoutEngine::segments(c.width, n, kSpacedGutter,
                                                    LayoutEngine::ratioValue(ratios, 0, type)))
          out.rects.push_back({c.x + s.offset, c.y, s.length, c.height});
        break;
      case LayoutType::topBottomSplit:
        for (const auto& s : LayoutEngine::segments(c.height, n, kSpacedGutter,
                                                    LayoutEngine::ratioValue(ratios, 0, type)))
          out.rects.push_back({c.x, c.y + s.offset, c.width, s.length});
        break;
      case LayoutType::grid2x2:
        out.rects =
            toAX(LayoutEngine::grid(c, n, kSpacedGutter, LayoutEngine::ratioValue(ratios, 0, type),
                                    LayoutEngine::ratioValue(ratios, 1, type)));
        break;
      case LayoutType::mainSidebar:
        out.rects = toAX(LayoutEngine::mainSidebar(c, n, kSpacedGutter,
                                                   LayoutEngine::ratioValue(ratios, 0, type)));
        break;
      default:
        // The three-pane types always give three frames, even for one app.
        out.rects =
            toAX(LayoutEngine::paneLayout(type, c, n, ratios, kSpacedGutter, 0, true).frames);
        break;
    }
    return out;
  }

  Rect inner = c.insetBy(kContainerMargin, kContainerMargin);
  inner.width = std::max(0.0, inner.width);
  inner.height = std::max(0.0, inner.height);
  out.rects =
      toAX(LayoutEngine::paneLayout(type, inner, n, ratios, kTileGutter, 0, true).appFrames);
  return out;
}

}  // namespace zelvorn
