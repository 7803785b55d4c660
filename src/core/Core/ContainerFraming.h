// Where a workspace's container goes: the remembered frame for the current displays, where the
// workspace is or would appear, which shown workspaces must make room for it, and putting the
// container and its chrome up at the start of a show.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <utility>

#include "Core/ControllerContext.h"

namespace zelvorn {

class ContainerFraming {
 public:
  static constexpr Size kMinContainer{480, 320};
  static constexpr Size kMinUsablyVisible{240, 56};

  explicit ContainerFraming(ControllerContext& ctx) : ctx_(ctx) {}

  AXRect containerRect(const Workspace& workspace);
  std::pair<AXRect, std::optional<DisplayNumber>> expectedFrame(const Workspace& workspace);
  std::set<Uuid> sameDisplayGroupsSharing(const Uuid& withShown);
  // Chooses the frame, creates or reuses the session and shows the chrome; answers the workspace
  // as it is used from here on.
  Workspace showContainerFrame(const Workspace& workspace);
  // The panes, the layout type and the three-column mark: what a tiled arrangement is.
  static std::string signature(const Workspace& workspace);

 private:
  // At least 480 × 320, or the size of the screen its centre is on when that is smaller.
  AXRect grownToMinimum(const AXRect& rect);
  void configureChrome(WorkspaceSession& session, const Workspace& workspace, const AXRect& rect);

  ControllerContext& ctx_;
};

}  // namespace zelvorn
