#include "Core/WorkspaceHiding.h"

#include <memory>

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

void WorkspaceHiding::hideWorkspace(const Uuid& requested) {
  const Uuid id = requested;  // the request may come from the session about to be removed
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
  // The teardown may run inside one of the chrome's own callbacks: the chrome goes away on the
  // next turn, once that call has returned.
  std::shared_ptr<ContainerWindowController> chrome = std::move(session->chrome);
  ctx_.loop.post([chrome] {});
  ++ctx_.placement.current;
  Uuid id = workspaceID;  // the caller's id may live in the session being removed
  ctx_.sessions.erase(id);
  ctx_.focus->publishShownWorkspaces();
  ctx_.observers->rebuildWindowObserver();
}

}  // namespace zelvorn
