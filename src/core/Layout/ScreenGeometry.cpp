#include "Layout/ScreenGeometry.h"

namespace zelvorn {

double ScreenGeometry::primaryDisplayHeight(const std::vector<ScreenInfo>& screens,
                                            std::optional<std::size_t> mainScreenIndex) {
  for (const auto& s : screens)
    if (s.frame.x == 0 && s.frame.y == 0) return s.frame.height;
  if (mainScreenIndex && *mainScreenIndex < screens.size())
    return screens[*mainScreenIndex].frame.height;
  return 0;
}

double ScreenGeometry::primaryDisplayHeight(const IDisplays& displays) {
  return primaryDisplayHeight(displays.screens(), displays.mainScreenIndex());
}

std::optional<CocoaRect> ScreenGeometry::maximizeTargetFrame(
    const CocoaRect& containerCocoaRect, const std::vector<ScreenFrames>& screens) {
  if (screens.empty()) return std::nullopt;
  CocoaPoint centre{containerCocoaRect.midX(), containerCocoaRect.midY()};
  for (const auto& s : screens)
    if (s.frame.contains(centre)) return s.visibleFrame;
  const ScreenFrames* best = &screens.front();
  double bestArea = -1;
  for (const auto& s : screens) {
    CocoaRect i = s.frame.intersection(containerCocoaRect);
    double area = i.width * i.height;
    if (area > bestArea) {
      bestArea = area;
      best = &s;
    }
  }
  return best->visibleFrame;
}

}  // namespace zelvorn
