#include "Layout/DisplayResolver.h"

namespace zelvorn {

std::optional<std::size_t> DisplayResolver::currentScreenIndex(
    const std::optional<CocoaPoint>& mouseLocation,
    const std::optional<CocoaRect>& focusedWindowFrame,
    const std::vector<CocoaRect>& screenFrames) {
  if (mouseLocation) {
    for (std::size_t i = 0; i < screenFrames.size(); ++i)
      if (screenFrames[i].contains(*mouseLocation)) return i;
  }
  if (focusedWindowFrame) {
    std::optional<std::size_t> best;
    double bestArea = 0;
    for (std::size_t i = 0; i < screenFrames.size(); ++i) {
      CocoaRect r = screenFrames[i].intersection(*focusedWindowFrame);
      double area = r.width * r.height;
      if (area > bestArea) {
        bestArea = area;
        best = i;
      }
    }
    return best;
  }
  return std::nullopt;
}

}  // namespace zelvorn
