// Root coordinates have their origin at the top-left of the whole screen; Cocoa space has it at
// the bottom-left of the primary monitor with y growing up: y' = H − (y − top of primary) − h.
// Monitors carry no stable hardware identity here, so no UUID is reported and the program falls
// back to naming each display by its geometry.
#include "Linux/X11Displays.h"

#include <xcb/xcb.h>

namespace zelvorn {

std::vector<ScreenInfo> X11Displays::screens() const {
  X11Connection& x = x_;
  const auto& monitors = x.monitors();
  if (monitors.empty()) return {};
  Point origin = x.axOrigin();
  double primaryHeight = monitors.front().rect.height;
  for (const auto& m : monitors)
    if (m.rect.x == origin.x && m.rect.y == origin.y) primaryHeight = m.rect.height;
  auto toCocoa = [&](const Rect& r) {
    return CocoaRect{r.x - origin.x, primaryHeight - (r.y - origin.y) - r.height, r.width,
                     r.height};
  };
  auto workArea = x.workArea();
  std::vector<ScreenInfo> out;
  DisplayNumber number = 1;
  for (const auto& m : monitors) {
    ScreenInfo s;
    s.frame = toCocoa(m.rect);
    Rect visible = m.rect;
    if (workArea) {
      Rect inside = m.rect.intersection(*workArea);
      if (!inside.isEmpty()) visible = inside;
    }
    s.visibleFrame = toCocoa(visible);
    s.displayNumber = number++;
    s.localizedName = m.name;
    out.push_back(std::move(s));
  }
  return out;
}

std::optional<std::size_t> X11Displays::mainScreenIndex() const {
  X11Connection& x = x_;
  const auto& monitors = x.monitors();
  if (monitors.empty()) return std::nullopt;
  // The screen of the active window plays the part of the key window's screen.
  if (xcb_window_t active = clients_.active()) {
    if (auto g = x.geometry(active)) {
      Rect f = g->frame();
      Point centre{f.midX(), f.midY()};
      for (std::size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].rect.contains(centre)) return i;
    }
  }
  return 0;
}

}  // namespace zelvorn
