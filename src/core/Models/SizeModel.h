// A stored size in points: the smallest window size an application was seen to accept.
#pragma once

#include <cmath>

#include "Platform/Geometry.h"

namespace zelvorn {

struct SizeModel {
  double width = 0;
  double height = 0;

  bool operator==(const SizeModel&) const = default;

  static SizeModel from(const Size& s) { return {s.width, s.height}; }
  Size size() const { return {width, height}; }
  bool isFinite() const { return std::isfinite(width) && std::isfinite(height); }
};

}  // namespace zelvorn
