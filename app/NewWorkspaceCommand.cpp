#include "NewWorkspaceCommand.h"

#include <memory>

#include "App/ZelvornURL.h"
#include "Core/AppRegistry.h"
#include "Core/WorkspaceFromApps.h"
#include "Core/WorkspaceManager.h"
#include "Linux/LinuxDesktop.h"
#include "Persistence/WorkspaceStore.h"
#include "Posix/PosixEnvironment.h"
#include "Posix/PosixFileSystem.h"
#include "RunCommand.h"

namespace zelvorn {

int runNewWorkspace(const std::string& name, const std::vector<std::string>& apps,
                    const std::string& layout, std::ostream& out, std::ostream& err) {
  std::optional<LayoutType> type;
  if (!layout.empty()) {
    type = layoutTypeFromRawValue(layout);
    if (!type) {
      std::string known;
      for (auto t : kAllLayoutTypes)
        known += (known.empty() ? "" : ", ") + std::string(rawValue(t));
      err << "zelvorn new-workspace: no layout “" << layout << "”; one of " << known << ".\n";
      return 1;
    }
  }
  if (instanceRunning()) {
    err << "zelvorn new-workspace: Zelvorn is running and would write over the change; quit it "
           "first.\n";
    return 1;
  }
  // Desktop entries are read through the desktop's own services.
  PosixMainLoop loop;
  auto desktop = LinuxDesktop::open(loop);
  if (!desktop) {
    err << "zelvorn new-workspace: no X display with an EWMH window manager (is DISPLAY set?)\n";
    return 1;
  }
  PosixFileSystem files;
  PosixEnvironment environment;
  std::string folder = WorkspaceStore::defaultDirectory(environment.locations());
  if (auto readable = WorkspaceStore(files, folder).load(); !readable) {
    err << "zelvorn new-workspace: " << readable.error().description
        << " Mend it first (zelvorn check-workspaces shows what is wrong).\n";
    return 1;
  }
  AppRegistry registry(desktop->launchServices(), files);
  WorkspaceManager manager(std::make_unique<WorkspaceStore>(files, folder), &registry);
  auto added =
      WorkspaceFromApps::add(manager, registry, desktop->launchServices(), name, apps, type);
  if (!added) {
    err << "zelvorn new-workspace: " << added.error().description << "\n";
    return 1;
  }
  out << "Added “" << added.value().name << "”. Show it with: zelvorn open "
      << ZelvornURL::link("show", added.value().name) << "\n";
  return 0;
}

}  // namespace zelvorn
