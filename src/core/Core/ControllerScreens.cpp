#include "Core/ControllerScreens.h"

#include "Layout/DisplayQueries.h"
#include "Layout/DisplayTopology.h"
#include "Layout/ScreenGeometry.h"

namespace zelvorn {

// Nothing tells the controller about display changes yet, so a cached fingerprint could outlive
// its displays: read it afresh each time (a few screens) and keep the cache for its readers.
std::optional<std::string> ControllerScreens::currentTopology() {
  ctx_.cachedTopology = DisplayTopology::currentFingerprint(ctx_.services.displays.screens());
  ctx_.cachedTopologyValid = true;
  return ctx_.cachedTopology;
}

double ControllerScreens::primaryHeight() const {
  return ScreenGeometry::primaryDisplayHeight(ctx_.services.displays);
}

std::vector<AXRect> ControllerScreens::availableScreensVisibleAX() const {
  return DisplayQueries::availableScreensVisibleAX(ctx_.services.displays);
}

std::vector<AXRect> ControllerScreens::screenFramesAX() const {
  double h = primaryHeight();
  std::vector<AXRect> out;
  for (const auto& s : ctx_.services.displays.screens())
    out.push_back(ScreenGeometry::cocoaToAX(s.frame, h));
  return out;
}

std::optional<AXRect> ControllerScreens::mainScreenVisibleAX() const {
  auto screens = ctx_.services.displays.screens();
  auto main = ctx_.services.displays.mainScreenIndex();
  if (!main || *main >= screens.size()) return std::nullopt;
  return ScreenGeometry::cocoaToAX(screens[*main].visibleFrame, primaryHeight());
}

std::optional<AXRect> ControllerScreens::screenVisibleFrameAX(const AXRect& rect) const {
  return DisplayQueries::screenVisibleFrameAX(rect, ctx_.services.displays);
}

// The pointer and the focused managed window are not tracked yet: the main screen is where the
// user works.
std::optional<std::pair<AXRect, std::string>> ControllerScreens::currentDisplayVisibleAX() const {
  auto current =
      DisplayQueries::currentDisplayVisibleAX(ctx_.services.displays, std::nullopt, std::nullopt);
  if (!current) return std::nullopt;
  return std::make_pair(current->visibleFrame, current->reason);
}

std::optional<DisplayNumber> ControllerScreens::displayID(const AXRect& rect) const {
  return DisplayQueries::displayID(rect, ctx_.services.displays);
}

CocoaRect ControllerScreens::toCocoa(const AXRect& r) const {
  return ScreenGeometry::axToCocoa(r, primaryHeight());
}

}  // namespace zelvorn
