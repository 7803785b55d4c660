#include "Core/ShowLaunching.h"

#include <algorithm>

#include "App/Log.h"
#include "Core/ControllerScreens.h"
#include "Core/DocumentMemory.h"
#include "Core/ShowAlerts.h"
#include "Core/WorkspaceHiding.h"

namespace zelvorn {

namespace {

std::string fileNames(const std::vector<std::pair<ManagedApp, std::string>>& documents) {
  std::string out;
  for (std::size_t i = 0; i < documents.size(); ++i)
    out += (i ? ", " : "") + lastPathComponent(documents[i].second);
  return out;
}

std::vector<std::string> paths(const std::vector<std::pair<ManagedApp, std::string>>& documents) {
  std::vector<std::string> out;
  for (const auto& d : documents)
    out.push_back(d.second);
  return out;
}

std::vector<ManagedApp> panesWithBundle(const Workspace& workspace, const std::string& bundleID) {
  std::vector<ManagedApp> out;
  for (const auto& app : workspace.apps)
    if (app.bundleIdentifier == bundleID) out.push_back(app);
  return out;
}

}  // namespace

ShowLaunching::Started ShowLaunching::startApps(const Workspace& workspace,
                                                const std::optional<std::string>& primaryBundleID) {
  Started started;
  auto group = std::make_shared<LaunchGroup>();
  group->workspaceName = workspace.name;
  for (const auto& app : workspace.apps) {
    if (auto running = ctx_.apps.runningApplication(app.bundleIdentifier)) {
      if (running->isHidden) {
        started.unhidden.insert(app.bundleIdentifier);
        ctx_.services.runningApps.unhide(running->pid);
      } else {
        started.visibleRunning.push_back(app);
      }
      if (app.bundleIdentifier == primaryBundleID) started.primary = running;
    } else if (!ctx_.registry.isInstalled(app)) {
      group->missing.push_back(app.displayName);
    } else if (started.launching.insert(app.bundleIdentifier).second) {
      launch(workspace, app, group);
    }
  }
  ctx_.pendingLaunches[workspace.id] = started.launching;
  auto parked = ctx_.ledgers.parkedBundleIDs();
  if (std::any_of(started.unhidden.begin(), started.unhidden.end(),
                  [&](const std::string& b) { return parked.count(b) > 0; }))
    ctx_.hiding->scheduleRepark(started.unhidden);
  group->armed = true;
  if (group->entered == 0) {
    ++group->entered;
    leave(group);
  }
  return started;
}

void ShowLaunching::launch(const Workspace& workspace, const ManagedApp& app,
                           const std::shared_ptr<LaunchGroup>& group) {
  ++group->entered;
  auto panes = panesWithBundle(workspace, app.bundleIdentifier);
  auto documents = ctx_.documents->rememberedDocuments(panes);
  for (const auto& [pane, path] : documents)
    ctx_.awaitingDocument[pane.id] = ctx_.now() + kDocumentBeforeLaunch;
  if (!documents.empty())
    Log::line("[Zelvorn] " + app.displayName + ": launching with " +
              std::to_string(documents.size()) +
              " remembered document(s): " + fileNames(documents));
  std::vector<Uuid> paneIDs;
  for (const auto& p : panes)
    paneIDs.push_back(p.id);
  auto alive = ctx_.liveness();
  ControllerContext* ctx = &ctx_;
  Uuid workspaceID = workspace.id;
  std::string bundleID = app.bundleIdentifier;
  ctx_.apps.launch(
      app, paths(documents),
      [this, alive, ctx, workspaceID, bundleID, paneIDs,
       group](ExternalAppController::LaunchResult result) {
        if (!alive.lock()) return;
        if (auto it = ctx->pendingLaunches.find(workspaceID); it != ctx->pendingLaunches.end())
          it->second.erase(bundleID);
        if (!result) {
          group->launchErrors.push_back(result.error().description());
        } else {
          for (const auto& pane : paneIDs)
            if (auto it = ctx->awaitingDocument.find(pane); it != ctx->awaitingDocument.end())
              it->second = ctx->now() + kDocumentAfterLaunch;
        }
        leave(group);
      });
}

void ShowLaunching::leave(const std::shared_ptr<LaunchGroup>& group) {
  if (--group->entered > 0 || !group->armed) return;
  ctx_.nextTurn([this, group] {
    ctx_.alerts->reportShowIssues(group->workspaceName, group->missing, group->launchErrors);
  });
}

void ShowLaunching::openMissingDocuments(const Workspace& workspace,
                                         std::set<std::string>& launching) {
  std::set<std::string> seen;
  for (const auto& app : workspace.apps) {
    const auto& bundleID = app.bundleIdentifier;
    if (launching.count(bundleID) || !seen.insert(bundleID).second) continue;
    auto running = ctx_.apps.runningApplication(bundleID);
    if (!running || !running->isFinishedLaunching) continue;
    auto documents = ctx_.documents->rememberedDocuments(panesWithBundle(workspace, bundleID));
    if (documents.empty()) continue;
    std::set<std::string> shown;
    for (const auto& info : ctx_.axController.windowInfos(running->pid, kDocumentCheckTimeout))
      if (auto path = ctx_.axController.documentPath(info.element)) shown.insert(*path);
    std::vector<std::pair<ManagedApp, std::string>> missing;
    for (const auto& d : documents)
      if (!shown.count(d.second)) missing.push_back(d);
    if (missing.empty()) continue;
    for (const auto& [pane, path] : missing)
      ctx_.awaitingDocument[pane.id] = ctx_.now() + kDocumentInRunningApp;
    launching.insert(bundleID);
    Log::line("[Zelvorn] " + app.displayName + " is running without " +
              std::to_string(missing.size()) +
              " remembered document(s) — opening: " + fileNames(missing));
    ctx_.apps.launch(app, paths(missing), [](ExternalAppController::LaunchResult) {});
  }
}

void ShowLaunching::reopenWindowlessApps(const std::vector<ManagedApp>& panes,
                                         const std::set<std::string>& skipping) {
  std::set<std::string> handled;
  for (const auto& pane : panes) {
    const auto& bundleID = pane.bundleIdentifier;
    if (skipping.count(bundleID) || handled.count(bundleID)) continue;
    auto running = ctx_.apps.runningApplication(bundleID);
    if (!running || !running->isFinishedLaunching) continue;
    if (!ctx_.axController.windowInfos(running->pid, kWindowlessCheckTimeout).empty()) continue;
    if (ctx_.axController.appHasNativeFullScreenWindow(running->pid)) continue;
    handled.insert(bundleID);
    Log::line("[Zelvorn] " + pane.displayName +
              ": running with no window — reopening it now instead of after the wait.");
    ctx_.apps.reopen(pane);
  }
}

}  // namespace zelvorn
