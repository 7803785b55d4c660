#include "Core/ControllerScreens.h"

#include "Layout/DisplayTopology.h"
#include "Layout/ScreenGeometry.h"

namespace zelvorn {

std::optional<std::string> ControllerScreens::currentTopology() {
  if (!ctx_.cachedTopologyValid) {
    ctx_.cachedTopology = DisplayTopology::currentFingerprint(ctx_.services.displays.screens());
    ctx_.cachedTopologyValid = true;
  }
  return ctx_.cachedTopology;
}

double ControllerScreens::primaryHeight() const {
  return ScreenGeometry::primaryDisplayHeight(ctx_.services.displays);
}

std::vector<AXRect> ControllerScreens::availableScreensVisibleAX() const {
  double h = primaryHeight();
  std::vector<AXRect> out;
  for (const auto& s : ctx_.services.displays.screens())
    out.push_back(ScreenGeometry::cocoaToAX(s.visibleFrame, h));
  return out;
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
  auto frames = screenFramesAX();
  auto visible = availableScreensVisibleAX();
  AXPoint centre{rect.midX(), rect.midY()};
  for (std::size_t i = 0; i < frames.size(); ++i)
    if (frames[i].contains(centre)) return visible[i];
  return mainScreenVisibleAX();
}

// Without a pointer or a focused managed window to go by, the main screen is where the user
// works; failing that the first screen.
std::optional<std::pair<AXRect, std::string>> ControllerScreens::currentDisplayVisibleAX() const {
  if (auto main = mainScreenVisibleAX()) return std::make_pair(*main, std::string("NSScreen.main"));
  auto visible = availableScreensVisibleAX();
  if (visible.empty()) return std::nullopt;
  return std::make_pair(visible.front(), std::string("first screen"));
}

std::optional<DisplayNumber> ControllerScreens::displayID(const AXRect& rect) const {
  auto screens = ctx_.services.displays.screens();
  double h = primaryHeight();
  AXPoint centre{rect.midX(), rect.midY()};
  for (const auto& s : screens)
    if (ScreenGeometry::cocoaToAX(s.frame, h).contains(centre))
      return DisplayTopology::displayID(s);
  return std::nullopt;
}

std::vector<FullScreenExtent> ControllerScreens::fullScreenExtents() const {
  std::vector<FullScreenExtent> out;
  for (const auto& s : ctx_.services.displays.screens())
    out.push_back({s.frame.size(), s.safeAreaTopInset});
  return out;
}

CocoaRect ControllerScreens::toCocoa(const AXRect& r) const {
  return ScreenGeometry::axToCocoa(r, primaryHeight());
}

}  // namespace zelvorn
