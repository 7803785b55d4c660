// The controller's bookkeeping of applications that several workspaces use: which workspaces are
// yielding to a show, which the user released, which processes can open another window, and the
// windows parked off-screen.
#pragma once

#include <map>
#include <set>
#include <unordered_set>

#include "Models/Uuid.h"
#include "Platform/IAccessibility.h"
#include "Platform/Types.h"

namespace zelvorn {

struct SharedAppsState {
  std::set<Uuid> yielding;
  std::set<Uuid> released;
  std::map<Pid, bool> canOpenWindow;
  std::unordered_set<AXElement, AXElementHash> parkedElements;
  bool hidingAll = false;
};

}  // namespace zelvorn
