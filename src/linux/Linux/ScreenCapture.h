// A picture of the screen: reads a rectangle of the root window and writes it as a PNG file. Used
// by the demo to leave a screenshot of real windows tiled.
#pragma once

#include <string>

#include "Linux/X11Connection.h"
#include "Platform/Result.h"

namespace zelvorn {

class ScreenCapture {
 public:
  // `area` in root coordinates, clipped to the screen.
  static Status savePNG(X11Connection& x, Rect area, const std::string& path);
};

}  // namespace zelvorn
