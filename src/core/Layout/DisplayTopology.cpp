#include "Layout/DisplayTopology.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "Layout/DisplayResolver.h"
#include "Layout/GeometryLog.h"

namespace zelvorn {

namespace {

double area(const AXRect& r) {
  return r.isEmpty() ? 0 : r.width * r.height;
}

}  // namespace

std::optional<std::string> DisplayTopology::currentFingerprint(
    const std::vector<ScreenInfo>& screens) {
  std::vector<std::string> identities;
  identities.reserve(screens.size());
  for (const auto& s : screens)
    identities.push_back(identity(displayID(s), s.uuid, s.frame));
  return fingerprint(std::move(identities));
}

std::optional<std::string> DisplayTopology::fingerprint(std::vector<std::string> identities) {
  if (identities.empty()) return std::nullopt;
  std::sort(identities.begin(), identities.end());
  std::string out;
  for (const auto& id : identities) {
    if (!out.empty()) out += '+';
    out += id;
  }
  return out;
}

std::optional<DisplayNumber> DisplayTopology::displayID(const ScreenInfo& screen) {
  return screen.displayNumber;
}

std::string DisplayTopology::identity(std::optional<DisplayNumber> displayID,
                                      const std::optional<std::string>& uuid,
                                      const CocoaRect& frame) {
  // An empty UUID would make every such display the same one.
  if (displayID && uuid && !uuid->empty()) return *uuid;
  return fmt::format("geom:{}x{}@{},{}", GeometryLog::wholePoints(frame.width),
                     GeometryLog::wholePoints(frame.height), GeometryLog::wholePoints(frame.minX()),
                     GeometryLog::wholePoints(frame.minY()));
}

bool DisplayTopology::isFullyOnScreens(const AXRect& rect, const std::vector<AXRect>& screens) {
  double a = area(rect);
  if (!(a > 0)) return false;
  double covered = 0;
  for (const auto& s : screens)
    covered += area(rect.intersection(s));
  return covered >= 0.99 * a;
}

std::optional<AXRect> DisplayTopology::homeTarget(const AXRect& rect,
                                                  const std::vector<AXRect>& available,
                                                  Size minSize) {
  auto best = bestScreen(rect, available);
  if (!best) return std::nullopt;
  if (isFullyOnScreens(rect, available)) return rect;
  return DisplayResolver::clamped(rect, *best, minSize);
}

bool DisplayTopology::isAt(const AXRect& a, const AXRect& b) {
  return std::abs(a.x - b.x) <= 2 && std::abs(a.y - b.y) <= 2 && std::abs(a.width - b.width) <= 2 &&
         std::abs(a.height - b.height) <= 2;
}

std::optional<AXRect> DisplayTopology::bestScreen(const AXRect& rect,
                                                  const std::vector<AXRect>& screens) {
  std::optional<AXRect> best;
  double bestArea = 0;
  for (const auto& s : screens) {
    double a = area(rect.intersection(s));
    if (a > bestArea) {
      bestArea = a;
      best = s;
    }
  }
  return best;
}

bool DisplayTopology::isTopOnScreen(const AXRect& rect, const std::vector<AXRect>& screens,
                                    double minWidth) {
  AXRect strip{rect.x, rect.y, rect.width, std::min(rect.height, 56.0)};
  return std::any_of(screens.begin(), screens.end(), [&](const AXRect& s) {
    if (!strip.intersects(s)) return false;
    AXRect i = strip.intersection(s);
    return i.width >= minWidth && i.height >= strip.height - 1;
  });
}

bool DisplayTopology::isHandleOnScreen(const AXRect& rect, const std::vector<AXRect>& screens) {
  if (rect.isEmpty()) return true;
  return std::any_of(screens.begin(), screens.end(), [&](const AXRect& s) {
    if (!rect.intersects(s)) return false;
    AXRect i = rect.intersection(s);
    return i.width >= rect.width / 2 && i.height >= rect.height / 2;
  });
}

}  // namespace zelvorn
