// Pane arithmetic for the nine layouts: pane rectangles, the gutters between them and the grab
// handles on the draggable gutters. Pure and stateless; it serves placement (AX space), the chrome
// and overlays (Cocoa space) and the builder's thumbnails alike, so it works on untagged rectangles
// and the caller says on which side of the rectangle the first row lies.
#pragma once

#include <optional>
#include <vector>

#include "Models/LayoutType.h"
#include "Platform/Geometry.h"

namespace zelvorn {

class LayoutEngine {
 public:
  enum class SplitAxis {
    column,  // a vertical strip between panes side by side; dragging moves along x
    row,     // a horizontal strip between stacked panes; dragging moves along y
  };

  struct SplitGutter {
    SplitAxis axis = SplitAxis::column;
    std::optional<int> ratioIndex;  // absent when the gutter cannot be dragged
    Rect rect;
    bool operator==(const SplitGutter&) const = default;
  };

  struct SplitHandleSpec {
    SplitAxis axis = SplitAxis::column;
    int ratioIndex = 0;
    Rect rect;
    bool operator==(const SplitHandleSpec&) const = default;
  };

  struct PaneLayout {
    std::vector<Rect> frames;  // pane order
    std::vector<Rect> appFrames;
    std::vector<SplitGutter> gutters;
    std::vector<SplitHandleSpec> handles;  // one per gutter with a ratio index, in gutter order
    bool operator==(const PaneLayout&) const = default;
    bool isEmpty() const { return frames.empty() && gutters.empty(); }
  };

  // One piece of a length: where it starts and how long it is.
  struct Segment {
    double offset = 0;
    double length = 0;
    bool operator==(const Segment&) const = default;
  };
  struct Segments {
    std::vector<Segment> panes;
    std::vector<Segment> gutters;
    bool operator==(const Segments&) const = default;
  };
  struct RectSplit {
    std::vector<Rect> panes;
    std::vector<Rect> gutters;
    bool operator==(const RectSplit&) const = default;
  };

  static PaneLayout paneLayout(LayoutType type, Rect container, int count,
                               const std::optional<std::vector<double>>& ratios, double gutter,
                               double appInset, bool firstRowAtMinY,
                               std::optional<double> handleThickness = {});

  // The stored ratio at `index`, else the type's default. Stored values are not clamped here.
  static double ratioValue(const std::optional<std::vector<double>>& ratios, int index,
                           LayoutType type);
  static double clampSplitRatio(double ratio, double available, double minPane);

  static Segments frameSegments(double total, int count, double gutter, double ratio);
  static RectSplit columnFrames(Rect rect, int count, double ratio, double gutter);
  // The same split down the height; the first row is the visually top one in either space.
  static RectSplit rowFrames(Rect rect, int count, double ratio, double gutter,
                             bool firstRowAtMinY);

  static PaneLayout gridLayout(Rect rect, int count,
                               const std::optional<std::vector<double>>& ratios, double gutter,
                               double appInset, bool firstRowAtMinY, double thickness);
  // For the four "2 + 1" types; any other type gives an empty layout.
  static PaneLayout threePaneLayout(LayoutType type, Rect rect,
                                    const std::optional<std::vector<double>>& ratios, double gutter,
                                    double appInset, bool firstRowAtMinY, double thickness);
  static PaneLayout assemble(std::vector<Rect> frames, std::vector<SplitGutter> gutters,
                             double appInset, double thickness);

  // The spaced variant for single-pane and main-and-sidebar workspaces: a spacing in place of the
  // gutter, no gutters, handles or inset, first row always at min y.
  static std::vector<Segment> segments(double total, int count, double spacing, double ratio);
  static std::vector<Rect> grid(Rect rect, int count, double spacing, double colRatio,
                                double rowRatio);
  static std::vector<Rect> mainSidebar(Rect rect, int count, double spacing, double ratio);

  // The parts of the container no pane covers (the gaps the chrome shields from clicks).
  static std::vector<Rect> matStripRects(Rect container, const std::vector<Rect>& panes);
  static Size contentToFitApps(LayoutType layoutType, const std::vector<Size>& appSizes,
                               double gutter);

  // Every ratio that reaches a split is kept within these bounds.
  static constexpr double kMinSplitRatio = 0.05;
  static constexpr double kMaxSplitRatio = 0.95;
};

using SplitAxis = LayoutEngine::SplitAxis;
using SplitGutter = LayoutEngine::SplitGutter;

}  // namespace zelvorn
