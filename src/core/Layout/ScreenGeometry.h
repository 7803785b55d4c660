// Conversion between the two coordinate spaces, and the screen facts the conversions and the
// maximize command need. AX space has its origin at the top-left of the primary display (y down),
// Cocoa space at its bottom-left (y up); nothing else in the program converts between them.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/IDisplays.h"
#include "Platform/ScreenInfo.h"

namespace zelvorn {

class ScreenGeometry {
 public:
  struct ScreenFrames {
    CocoaRect frame;
    CocoaRect visibleFrame;
  };

  // The height of the screen at the origin; else of the main screen; else 0.
  static double primaryDisplayHeight(const std::vector<ScreenInfo>& screens,
                                     std::optional<std::size_t> mainScreenIndex);
  static double primaryDisplayHeight(const IDisplays& displays);

  // Both directions keep x, width and height and map y to H − y − height.
  static CocoaRect axToCocoa(const AXRect& r, double primaryHeight) {
    return {r.x, primaryHeight - r.y - r.height, r.width, r.height};
  }
  static AXRect cocoaToAX(const CocoaRect& r, double primaryHeight) {
    return {r.x, primaryHeight - r.y - r.height, r.width, r.height};
  }
  static CocoaPoint axToCocoa(const AXPoint& p, double primaryHeight) {
    return {p.x, primaryHeight - p.y};
  }
  static AXPoint cocoaToAX(const CocoaPoint& p, double primaryHeight) {
    return {p.x, primaryHeight - p.y};
  }

  // The visible frame to fill when the container is maximized: that of the screen holding the
  // container's centre, else of the screen it overlaps most.
  static std::optional<CocoaRect> maximizeTargetFrame(const CocoaRect& containerCocoaRect,
                                                      const std::vector<ScreenFrames>& screens);
};

}  // namespace zelvorn
