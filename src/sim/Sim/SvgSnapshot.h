// A picture of the simulated desktop as SVG: the screens (with their menu-bar strips), every
// visible window labelled with its application, front-most on top, and any outlines the caller
// adds (a workspace's container). For people looking at what a demo or a test left behind.
#pragma once

#include <string>
#include <vector>

#include "Platform/Geometry.h"

namespace zelvorn {

class SimDesktop;

struct SvgOutline {
  AXRect rect;
  std::string label;
};

class SvgSnapshot {
 public:
  static std::string render(SimDesktop& desktop, const std::vector<SvgOutline>& outlines = {});
};

}  // namespace zelvorn
