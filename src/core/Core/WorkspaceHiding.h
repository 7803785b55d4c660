// Putting a shown workspace away and ending its session. For now an application is hidden unless
// another shown workspace still uses it (then it is left alone); parking windows off-screen and
// re-parking after an unhide come later.
#pragma once

#include <set>
#include <string>

#include "Core/ControllerContext.h"

namespace zelvorn {

class WorkspaceHiding {
 public:
  explicit WorkspaceHiding(ControllerContext& ctx) : ctx_(ctx) {}

  void hideWorkspace(const Uuid& id);
  void tearDownSession(const Uuid& workspaceID, bool persistFrame);
  void scheduleRepark(const std::set<std::string>&) {}
  void parkKeptWindows(const Workspace&) {}

 private:
  bool usedByAnotherShownWorkspace(const std::string& bundleID, const Uuid& leaving) const;

  ControllerContext& ctx_;
};

}  // namespace zelvorn
