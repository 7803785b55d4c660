// A stored rectangle in points. Every rectangle a workspace keeps describes where it sits on
// screen, so it is in AX space; the conversions say so explicitly.
#pragma once

#include <cmath>

#include "Platform/Geometry.h"

namespace zelvorn {

struct RectModel {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  bool operator==(const RectModel&) const = default;

  static RectModel from(const AXRect& r) { return {r.x, r.y, r.width, r.height}; }
  AXRect axRect() const { return {x, y, width, height}; }
  bool isFinite() const {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(width) && std::isfinite(height);
  }
};

}  // namespace zelvorn
