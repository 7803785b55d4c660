// A new workspace from the names of installed applications, as a command line gives them: each
// one a bundle identifier (with or without the platform's application extension, "xterm" or
// "xterm.desktop") or the path of an application. For desktops where the program has no settings
// window to build a workspace in.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Core/AppRegistry.h"
#include "Core/WorkspaceManager.h"
#include "Platform/ILaunchServices.h"
#include "Platform/Result.h"

namespace zelvorn {

class WorkspaceFromApps {
 public:
  // The usual layout for a number of apps: side by side, three columns, a 2 × 2 grid.
  static LayoutType defaultLayout(std::size_t appCount);

  // Adds the workspace (its name made unique, the apps in the order given) and answers it; or
  // answers why not, having added nothing.
  static Result<Workspace> add(WorkspaceManager& manager, AppRegistry& registry,
                               ILaunchServices& launch, std::string_view name,
                               const std::vector<std::string>& apps,
                               std::optional<LayoutType> layout);
};

}  // namespace zelvorn
