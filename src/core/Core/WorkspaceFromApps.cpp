#include "Core/WorkspaceFromApps.h"

#include <cerrno>

namespace zelvorn {

namespace {

// The application an argument names: a path as it is, else a bundle identifier the system knows,
// tried with the platform's application extension when it has none.
std::optional<std::string> applicationNamed(ILaunchServices& launch, const std::string& app) {
  if (app.empty()) return std::nullopt;
  if (app.front() == '/') return app;
  if (auto path = launch.applicationPath(app)) return path;
  std::string extension = "." + std::string(launch.applicationExtension());
  if (!app.ends_with(extension)) return launch.applicationPath(app + extension);
  return std::nullopt;
}

Error invalid(std::string description) {
  return Error{EINVAL, std::move(description)};
}

}  // namespace

LayoutType WorkspaceFromApps::defaultLayout(std::size_t appCount) {
  if (appCount == 3) return LayoutType::threeColumns;
  if (appCount >= 4) return LayoutType::grid2x2;
  return LayoutType::leftRightSplit;
}

Result<Workspace> WorkspaceFromApps::add(WorkspaceManager& manager, AppRegistry& registry,
                                         ILaunchServices& launch, std::string_view name,
                                         const std::vector<std::string>& apps,
                                         std::optional<LayoutType> layout) {
  if (apps.size() < 2 || apps.size() > 4)
    return invalid("A workspace has two to four apps; " + std::to_string(apps.size()) +
                   (apps.size() == 1 ? " was" : " were") + " given.");
  LayoutType type = layout.value_or(defaultLayout(apps.size()));
  // The main-and-sidebar layout takes any count; the others tile a fixed number of apps.
  if (type != LayoutType::mainSidebar && static_cast<std::size_t>(paneCount(type)) != apps.size())
    return invalid("The “" + std::string(displayName(type)) + "” layout tiles " +
                   std::to_string(paneCount(type)) + " apps; " + std::to_string(apps.size()) +
                   " were given.");

  // Every app is found before anything is added.
  std::vector<ManagedApp> managed;
  for (const auto& app : apps) {
    auto path = applicationNamed(launch, app);
    if (!path) return Error{ENOENT, "No installed application “" + app + "”."};
    auto made = registry.makeManagedApp(*path);
    if (!made) return invalid(made.error().description());
    managed.push_back(std::move(made).value());
  }

  Workspace workspace = manager.createWorkspace(name);
  for (auto& app : managed)
    manager.addApp(std::move(app), workspace.id);
  if (type == LayoutType::threeColumns)
    manager.setThreeColumns(true, workspace.id);
  else
    manager.setLayoutType(type, workspace.id);
  return *manager.workspace(workspace.id);
}

}  // namespace zelvorn
