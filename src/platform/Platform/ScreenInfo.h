// One attached display as the system reports it: frames in Cocoa space (origin at the bottom-left
// of the primary display), its display number and UUID when known, and what diagnostics and
// full-screen detection read.
#pragma once

#include <optional>
#include <string>

#include "Platform/Geometry.h"
#include "Platform/Types.h"

namespace zelvorn {

struct ScreenInfo {
  CocoaRect frame;
  // The frame less the menu bar and the dock.
  CocoaRect visibleFrame;
  std::optional<DisplayNumber> displayNumber;
  // Absent when the platform cannot tell; the display is then known by its frame.
  std::optional<std::string> uuid;
  std::string localizedName;
  double backingScale = 1.0;
  // The strip a camera housing takes off the top of the display.
  double safeAreaTopInset = 0.0;

  bool operator==(const ScreenInfo&) const = default;
};

}  // namespace zelvorn
