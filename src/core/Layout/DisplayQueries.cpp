#include "Layout/DisplayQueries.h"

#include "Layout/DisplayResolver.h"
#include "Layout/ScreenGeometry.h"

namespace zelvorn {

namespace {

// The index of the screen whose frame holds the AX rectangle's centre.
std::optional<std::size_t> screenHoldingCentre(const AXRect& rect,
                                               const std::vector<ScreenInfo>& screens,
                                               double primaryHeight) {
  CocoaPoint centre = ScreenGeometry::axToCocoa(AXPoint{rect.midX(), rect.midY()}, primaryHeight);
  for (std::size_t i = 0; i < screens.size(); ++i)
    if (screens[i].frame.contains(centre)) return i;
  return std::nullopt;
}

}  // namespace

std::optional<AXRect> DisplayQueries::screenVisibleFrameAX(const AXRect& rect,
                                                           const IDisplays& displays) {
  auto screens = displays.screens();
  auto main = displays.mainScreenIndex();
  double h = ScreenGeometry::primaryDisplayHeight(screens, main);
  auto index = screenHoldingCentre(rect, screens, h);
  if (!index && main && *main < screens.size()) index = main;
  if (!index) return std::nullopt;
  return ScreenGeometry::cocoaToAX(screens[*index].visibleFrame, h);
}

std::vector<AXRect> DisplayQueries::availableScreensVisibleAX(const IDisplays& displays) {
  auto screens = displays.screens();
  double h = ScreenGeometry::primaryDisplayHeight(screens, displays.mainScreenIndex());
  std::vector<AXRect> out;
  out.reserve(screens.size());
  for (const auto& s : screens)
    out.push_back(ScreenGeometry::cocoaToAX(s.visibleFrame, h));
  return out;
}

std::optional<DisplayQueries::CurrentDisplay> DisplayQueries::currentDisplayVisibleAX(
    const IDisplays& displays, const std::optional<CocoaPoint>& mouseLocation,
    const std::optional<CocoaRect>& focusedManagedWindowFrameCocoa) {
  auto screens = displays.screens();
  if (screens.empty()) return std::nullopt;
  auto main = displays.mainScreenIndex();
  double h = ScreenGeometry::primaryDisplayHeight(screens, main);
  auto visibleAX = [&](std::size_t i) {
    return ScreenGeometry::cocoaToAX(screens[i].visibleFrame, h);
  };

  std::vector<CocoaRect> frames;
  frames.reserve(screens.size());
  for (const auto& s : screens)
    frames.push_back(s.frame);
  if (auto i = DisplayResolver::currentScreenIndex(mouseLocation, focusedManagedWindowFrameCocoa,
                                                   frames)) {
    bool underMouse = mouseLocation && frames[*i].contains(*mouseLocation);
    return CurrentDisplay{visibleAX(*i), underMouse ? "mouse cursor" : "focused managed window"};
  }
  if (main && *main < screens.size()) return CurrentDisplay{visibleAX(*main), "NSScreen.main"};
  return CurrentDisplay{visibleAX(0), "first screen"};
}

std::optional<DisplayNumber> DisplayQueries::displayID(const AXRect& rect,
                                                       const IDisplays& displays) {
  auto screens = displays.screens();
  double h = ScreenGeometry::primaryDisplayHeight(screens, displays.mainScreenIndex());
  auto index = screenHoldingCentre(rect, screens, h);
  if (!index) return std::nullopt;
  return screens[*index].displayNumber;
}

}  // namespace zelvorn
