// Readable rectangles and points in test failure messages, and a tolerant comparison for frames
// computed with fractional ratios.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "Platform/Geometry.h"

namespace zelvorn {

template <class Space>
void PrintTo(const RectIn<Space>& r, std::ostream* os) {
  *os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}
template <class Space>
void PrintTo(const PointIn<Space>& p, std::ostream* os) {
  *os << "(" << p.x << ", " << p.y << ")";
}
inline void PrintTo(const Size& s, std::ostream* os) {
  *os << "(" << s.width << " x " << s.height << ")";
}

template <class Space>
bool rectNear(const RectIn<Space>& a, const RectIn<Space>& b, double tolerance = 1e-9) {
  return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance &&
         std::abs(a.width - b.width) <= tolerance && std::abs(a.height - b.height) <= tolerance;
}

template <class Space>
::testing::AssertionResult rectsNear(const std::vector<RectIn<Space>>& actual,
                                     const std::vector<RectIn<Space>>& expected) {
  auto show = [](const std::vector<RectIn<Space>>& v) {
    std::string s = "[";
    for (const auto& r : v)
      s += ::testing::PrintToString(r) + " ";
    return s + "]";
  };
  bool same = actual.size() == expected.size();
  for (std::size_t i = 0; same && i < actual.size(); ++i)
    same = rectNear(actual[i], expected[i]);
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << show(actual) << ", want " << show(expected);
}

}  // namespace zelvorn
