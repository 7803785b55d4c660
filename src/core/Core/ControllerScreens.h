// The displays as the session controller asks about them: the display-set fingerprint (cached
// until the displays change), visible frames in AX space, the display the user is working on,
// and which display a rectangle is on.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Core/ControllerContext.h"
#include "Platform/Geometry.h"

namespace zelvorn {

class ControllerScreens {
 public:
  explicit ControllerScreens(ControllerContext& ctx) : ctx_(ctx) {}

  std::optional<std::string> currentTopology();
  void invalidateTopology() { ctx_.cachedTopologyValid = false; }
  double primaryHeight() const;
  std::vector<AXRect> availableScreensVisibleAX() const;
  std::vector<AXRect> screenFramesAX() const;
  std::optional<AXRect> mainScreenVisibleAX() const;
  // The visible frame of the screen containing the rectangle's centre, else of the main screen.
  std::optional<AXRect> screenVisibleFrameAX(const AXRect& rect) const;
  // The display the user is working on and why it was chosen.
  std::optional<std::pair<AXRect, std::string>> currentDisplayVisibleAX() const;
  std::optional<DisplayNumber> displayID(const AXRect& rect) const;

  CocoaRect toCocoa(const AXRect& r) const;

 private:
  ControllerContext& ctx_;
};

}  // namespace zelvorn
