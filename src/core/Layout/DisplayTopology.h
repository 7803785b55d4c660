// The display-set fingerprint (the key under which a workspace remembers a container per
// arrangement of displays) and the tests that decide whether a container is still reachable on
// the current displays or where it should go instead. Rectangles are in AX space.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/ScreenInfo.h"
#include "Platform/Types.h"

namespace zelvorn {

class DisplayTopology {
 public:
  // The fingerprint of the given screens; none when there are none. Independent of their order.
  static std::optional<std::string> currentFingerprint(const std::vector<ScreenInfo>& screens);
  // The identities sorted and joined with "+"; none for an empty list.
  static std::optional<std::string> fingerprint(std::vector<std::string> identities);
  static std::optional<DisplayNumber> displayID(const ScreenInfo& screen);
  // The display's UUID when it has a number and a UUID, else "geom:<w>x<h>@<minX>,<minY>" of its
  // Cocoa frame in whole points. Stored in the workspaces file: the format must not change.
  static std::string identity(std::optional<DisplayNumber> displayID,
                              const std::optional<std::string>& uuid, const CocoaRect& frame);

  // Positive area, and at least 99 % of it on the screens together.
  static bool isFullyOnScreens(const AXRect& rect, const std::vector<AXRect>& screens);
  // Where to put a remembered container on the available screens: none when no screen overlaps it,
  // itself when it is fully on screen, else pulled inside the screen it overlaps most.
  static std::optional<AXRect> homeTarget(const AXRect& rect, const std::vector<AXRect>& available,
                                          Size minSize);
  // The same place and size within 2 points.
  static bool isAt(const AXRect& a, const AXRect& b);
  // The screen the rectangle overlaps most (the first on ties); none without any overlap.
  static std::optional<AXRect> bestScreen(const AXRect& rect, const std::vector<AXRect>& screens);
  // The top 56 points (or less for a shorter rectangle) meet one screen at least `minWidth` wide
  // and nearly their full height: the part the user grabs to move the group.
  static bool isTopOnScreen(const AXRect& rect, const std::vector<AXRect>& screens,
                            double minWidth);
  // At least half of the rectangle in each direction on one screen; an empty rectangle counts as
  // on screen.
  static bool isHandleOnScreen(const AXRect& rect, const std::vector<AXRect>& screens);
};

}  // namespace zelvorn
