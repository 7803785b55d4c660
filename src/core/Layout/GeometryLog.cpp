#include "Layout/GeometryLog.h"

#include <fmt/format.h>

#include <cmath>

#include "App/Log.h"

namespace zelvorn {

std::string GeometryLog::wholePoints(double v) {
  if (!std::isfinite(v) || std::abs(v) >= 9.0e18) return fmt::format("{}", v);
  return std::to_string(static_cast<long long>(std::trunc(v)));
}

std::string GeometryLog::rectLogOf(double x, double y, double w, double h) {
  return fmt::format("({},{} {}\u00D7{})", wholePoints(x), wholePoints(y), wholePoints(w),
                     wholePoints(h));
}

std::string GeometryLog::rectDescriptionOf(double x, double y, double w, double h) {
  return fmt::format("x={} y={} w={} h={}", wholePoints(x), wholePoints(y), wholePoints(w),
                     wholePoints(h));
}

std::string GeometryLog::screensLogSummary(const std::vector<AXRect>& visibleFramesAX) {
  std::string out = "displays(AX): [";
  for (std::size_t i = 0; i < visibleFramesAX.size(); ++i) {
    if (i > 0) out += "; ";
    out += fmt::format("screen{} visible={}", i, rectLog(visibleFramesAX[i]));
  }
  return out + "]";
}

void GeometryLog::logIfSlowAX(std::string_view label, std::string_view detail, Seconds since,
                              Seconds now) {
  Seconds elapsed = now - since;
  if (!(elapsed >= 0.15)) return;
  Log::line(fmt::format("[Zelvorn][AX] {}: {} took {} ms.", label, detail,
                        static_cast<long long>(elapsed * 1000)));
}

}  // namespace zelvorn
