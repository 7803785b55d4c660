// What the session controller asks about the attached displays, answered in AX space: the visible
// frame around a rectangle, every visible frame, the display the user is working on (and why it
// was chosen), and the display number under a rectangle. Each call reads the screens once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/IDisplays.h"
#include "Platform/Types.h"

namespace zelvorn {

class DisplayQueries {
 public:
  struct CurrentDisplay {
    AXRect visibleFrame;
    // "mouse cursor", "focused managed window", "NSScreen.main" or "first screen"; for the log.
    std::string reason;
    bool operator==(const CurrentDisplay&) const = default;
  };

  // The visible frame of the screen holding the rectangle's centre, else of the main screen.
  static std::optional<AXRect> screenVisibleFrameAX(const AXRect& rect, const IDisplays& displays);
  static std::vector<AXRect> availableScreensVisibleAX(const IDisplays& displays);
  static std::optional<CurrentDisplay> currentDisplayVisibleAX(
      const IDisplays& displays, const std::optional<CocoaPoint>& mouseLocation,
      const std::optional<CocoaRect>& focusedManagedWindowFrameCocoa);
  // The display number of the screen holding the rectangle's centre.
  static std::optional<DisplayNumber> displayID(const AXRect& rect, const IDisplays& displays);
};

}  // namespace zelvorn
