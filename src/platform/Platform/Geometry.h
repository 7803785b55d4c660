// Points, sizes and rectangles, tagged by the coordinate space they live in. AX space has its
// origin at the top-left of the primary display with y growing down; Cocoa space has it at the
// bottom-left with y growing up. The two never mix implicitly: only the core's screen-geometry
// functions convert.
#pragma once

#include <algorithm>
#include <cmath>

namespace zelvorn {

struct AnySpace {};
struct AXSpace {};
struct CocoaSpace {};

template <class Space>
struct PointIn {
  double x = 0;
  double y = 0;
  bool operator==(const PointIn&) const = default;
};

struct Size {
  double width = 0;
  double height = 0;
  bool operator==(const Size&) const = default;
};

template <class Space>
struct RectIn {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  bool operator==(const RectIn&) const = default;

  double minX() const { return x; }
  double minY() const { return y; }
  double maxX() const { return x + width; }
  double maxY() const { return y + height; }
  double midX() const { return x + width / 2; }
  double midY() const { return y + height / 2; }
  PointIn<Space> origin() const { return {x, y}; }
  Size size() const { return {width, height}; }
  bool isEmpty() const { return !(width > 0) || !(height > 0); }
  bool isFinite() const {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(width) && std::isfinite(height);
  }

  bool contains(PointIn<Space> p) const {
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
  }
  bool intersects(const RectIn& o) const {
    return !isEmpty() && !o.isEmpty() && minX() < o.maxX() && o.minX() < maxX() &&
           minY() < o.maxY() && o.minY() < maxY();
  }
  // The overlap of two rectangles; an empty rectangle at the origin when they do not meet.
  RectIn intersection(const RectIn& o) const {
    double x0 = std::max(minX(), o.minX());
    double y0 = std::max(minY(), o.minY());
    double x1 = std::min(maxX(), o.maxX());
    double y1 = std::min(maxY(), o.maxY());
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
  }
  RectIn insetBy(double dx, double dy) const {
    return {x + dx, y + dy, width - 2 * dx, height - 2 * dy};
  }
  RectIn offsetBy(double dx, double dy) const { return {x + dx, y + dy, width, height}; }
};

using Point = PointIn<AnySpace>;
using Rect = RectIn<AnySpace>;
using AXPoint = PointIn<AXSpace>;
using AXRect = RectIn<AXSpace>;
using CocoaPoint = PointIn<CocoaSpace>;
using CocoaRect = RectIn<CocoaSpace>;

// Re-labels a rectangle's space without changing its numbers: for space-agnostic arithmetic (the
// layout engine) whose inputs and results are known to be in one space. Never a conversion.
template <class To, class From>
constexpr RectIn<To> retag(const RectIn<From>& r) {
  return {r.x, r.y, r.width, r.height};
}
template <class To, class From>
constexpr PointIn<To> retag(const PointIn<From>& p) {
  return {p.x, p.y};
}

}  // namespace zelvorn
