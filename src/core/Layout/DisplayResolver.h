// Small choices about displays: which screen the user is working on, whether a rectangle can be
// seen well enough on some screen, and pulling a rectangle inside a screen. Used when showing,
// moving and sheltering workspaces and when placing the program's own panels.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "Platform/Geometry.h"

namespace zelvorn {

class DisplayResolver {
 public:
  // The screen under the mouse; failing that, the one the focused window overlaps most.
  static std::optional<std::size_t> currentScreenIndex(
      const std::optional<CocoaPoint>& mouseLocation,
      const std::optional<CocoaRect>& focusedWindowFrame,
      const std::vector<CocoaRect>& screenFrames);

  // True when some screen shows at least `minVisible` of the rectangle in both directions.
  template <class Space>
  static bool isUsablyVisible(const RectIn<Space>& rect, const std::vector<RectIn<Space>>& on,
                              Size minVisible) {
    return std::any_of(on.begin(), on.end(), [&](const RectIn<Space>& s) {
      RectIn<Space> i = rect.intersection(s);
      return i.width >= minVisible.width && i.height >= minVisible.height;
    });
  }

  // The rectangle moved (and shrunk only as far as needed) inside `bounds`, never smaller than
  // `minSize` unless the bounds themselves are smaller.
  template <class Space>
  static RectIn<Space> clamped(const RectIn<Space>& rect, const RectIn<Space>& bounds,
                               Size minSize) {
    double w = std::min(bounds.width, std::max(rect.width, minSize.width));
    double h = std::min(bounds.height, std::max(rect.height, minSize.height));
    double x = std::min(bounds.maxX() - w, std::max(rect.minX(), bounds.minX()));
    double y = std::min(bounds.maxY() - h, std::max(rect.minY(), bounds.minY()));
    return {x, y, w, h};
  }
};

}  // namespace zelvorn
