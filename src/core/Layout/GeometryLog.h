// How rectangles and the display arrangement are written in log lines: whole points, truncated,
// "(x,y w×h)" or "x=… y=… w=… h=…". Shared by every area that logs geometry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/Types.h"

namespace zelvorn {

class GeometryLog {
 public:
  // A coordinate as a whole number, truncated towards zero; a value that is not finite is written
  // as it is rather than turned into an arbitrary integer.
  static std::string wholePoints(double v);

  template <class Space>
  static std::string rectLog(const RectIn<Space>& r) {
    return rectLogOf(r.x, r.y, r.width, r.height);
  }
  template <class Space>
  static std::string rectDescription(const RectIn<Space>& r) {
    return rectDescriptionOf(r.x, r.y, r.width, r.height);
  }
  // "displays(AX): [screen0 visible=(…); screen1 visible=(…)]" over the screens' visible frames.
  static std::string screensLogSummary(const std::vector<AXRect>& visibleFramesAX);
  // Logs an Accessibility call that held the main thread for 0.15 seconds or more.
  static void logIfSlowAX(std::string_view label, std::string_view detail, Seconds since,
                          Seconds now);

 private:
  static std::string rectLogOf(double x, double y, double w, double h);
  static std::string rectDescriptionOf(double x, double y, double w, double h);
};

}  // namespace zelvorn
