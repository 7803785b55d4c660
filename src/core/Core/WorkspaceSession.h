// The runtime record of one shown workspace: its chrome, its container and the windows the last
// placement pass put into its panes. A workspace counts as shown exactly while it has one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "Container/ContainerWindowController.h"
#include "Models/Uuid.h"
#include "Platform/Geometry.h"
#include "Platform/IAccessibility.h"
#include "Platform/Types.h"

namespace zelvorn {

struct TrackedWindow {
  Uuid appID;  // the pane
  Pid pid = 0;
  AXElement element;
  bool operator==(const TrackedWindow&) const = default;
};

struct WorkspaceSession {
  std::unique_ptr<ContainerWindowController> chrome = std::make_unique<ContainerWindowController>();
  std::optional<AXRect> containerAXRect;
  std::vector<TrackedWindow> elements;  // pane order
  std::set<Pid> fullScreenPids;
  std::uint64_t frontOrder = 0;
};

}  // namespace zelvorn
