// Demo chapter: creating workspaces through the workspace manager, whose names are made unique.
#include <fmt/format.h>

#include "Core/WorkspaceManager.h"
#include "Demo.h"

namespace zelvorn {

void demoCreatingWorkspaces(DemoWorld& world) {
  auto& manager = world.workspaces();
  for (const char* asked : {"Deep Work", "Deep Work", "   "}) {
    auto created = manager.createWorkspace(asked);
    world.say(fmt::format("Asked for “{}”, got “{}”.", asked, created.name));
  }
  world.say(fmt::format("Each change is saved at once: {}.", manager.store().fileURL()));
}

}  // namespace zelvorn
