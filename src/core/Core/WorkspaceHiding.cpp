#include "Core/WorkspaceHiding.h"

#include "App/Log.h"
#include "Container/ContainerWindowController.h"
#include "Core/DocumentMemory.h"
#include "Core/FocusState.h"
#include "Core/UserGeometry.h"
#include "Core/WindowObserverHub.h"

namespace zelvorn {

bool WorkspaceHiding::usedByAnotherShownWorkspace(const std::string& bundleID,
                                                  const Uuid& leaving) const {
  for (const auto& [id, session] : ctx_.sessions) {
    if (id == leaving || ctx_.sharing.yielding.count(id)) continue;
    auto other = ctx_.workspace(id);
    if (!other) continue;
    for (const auto& app : other->apps)
      if (app.bundleIdentifier == bundleID) return true;
  }
  return false;
}

void WorkspaceHiding::hideWorkspace(const Uuid& id) {
  auto workspace = ctx_.workspace(id);
  if (!workspace) return;
  Log::line("[Zelvorn] Hide workspace: " + workspace->name);
  ctx_.documents->rememberDocuments(id);
  std::set<std::string> seen, hidden;
  for (const auto& app : workspace->apps) {
    if (!seen.insert(app.bundleIdentifier).second) continue;
    auto running = ctx_.apps.runningApplication(app.bundleIdentifier);
    if (!running || usedByAnotherShownWorkspace(app.bundleIdentifier, id)) continue;
    if (ctx_.services.runningApps.hide(running->pid)) hidden.insert(app.bundleIdentifier);
  }
  ctx_.ledgers.rememberHiddenApps(hidden);
  tearDownSession(id, true);
  if (ctx_.manager.activeWorkspaceID() == id)
    ctx_.manager.setActiveWorkspace(ctx_.focus->frontWorkspace(id));
}

void WorkspaceHiding::tearDownSession(const Uuid& workspaceID, bool persistFrame) {
  auto* session = ctx_.session(workspaceID);
  if (!session) return;
  ctx_.ownChooserWindowIDs.erase(workspaceID);
  ctx_.pendingLaunches.erase(workspaceID);
  ctx_.showStartedAt.erase(workspaceID);
  if (ctx_.focus->soloWorkspaceID() == workspaceID) ctx_.focus->clearSolo();
  if (persistFrame)
    ctx_.geometry->persistContainerFrame(workspaceID);
  else
    ctx_.geometry->cancelPersist(workspaceID);
  session->chrome->orderOut();
  ++ctx_.placement.current;
  ctx_.sessions.erase(workspaceID);
  ctx_.focus->publishShownWorkspaces();
  ctx_.observers->rebuildWindowObserver();
}

}  // namespace zelvorn
