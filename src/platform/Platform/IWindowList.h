// The window server's list of windows, front to back: what is on screen, whose it is, its layer and
// its bounds. Used for full-screen detection, the window scan of new workspaces and z-order checks.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/Types.h"

namespace zelvorn {

// Each field is present only when the window server reported it.
struct WindowListEntry {
  std::optional<WindowNumber> number;
  std::optional<Pid> ownerPid;
  std::optional<int> layer;  // 0 for ordinary application windows
  std::optional<AXRect> bounds;
  std::optional<std::string> ownerName;
  bool operator==(const WindowListEntry&) const = default;
};

// Option bits, combined with |.
namespace WindowListOption {
inline constexpr unsigned onScreenOnly = 1;
inline constexpr unsigned excludeDesktopElements = 16;
}  // namespace WindowListOption

class IWindowList {
 public:
  virtual ~IWindowList() = default;
  // Front to back; none when the window server gives no list.
  virtual std::optional<std::vector<WindowListEntry>> copyWindowList(unsigned options) = 0;
};

}  // namespace zelvorn
