#include "Core/TilingWaiter.h"

#include <fmt/format.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "App/Log.h"
#include "Core/ControllerScreens.h"
#include "Core/FocusState.h"
#include "Core/ShowAlerts.h"
#include "Core/StageManagerGate.h"
#include "Core/WindowBinding.h"
#include "Core/WindowPlacement.h"
#include "Core/WorkspaceController.h"
#include "Core/WorkspaceHiding.h"

namespace zelvorn {

namespace {

std::string appName(const RunningApp& app) {
  if (app.localizedName) return *app.localizedName;
  if (app.bundleIdentifier) return *app.bundleIdentifier;
  return "?";
}

std::string shortList(const std::vector<WindowBinding::ShortOfWindows>& shortApps) {
  std::string out;
  for (std::size_t i = 0; i < shortApps.size(); ++i)
    out += (i ? ", " : "") + shortApps[i].appName + " " + std::to_string(shortApps[i].windows) +
           "/" + std::to_string(shortApps[i].panes);
  return out;
}

}  // namespace

void TilingWaiter::tileWhenWindowsReady(const Uuid& workspaceID, int attempt, int launchWaits,
                                        int placedWindowCount) {
  auto workspace = ctx_.workspace(workspaceID);
  if (!workspace || !ctx_.session(workspaceID)) return;

  std::vector<RunningApp> running;
  for (const auto& app : workspace->apps)
    if (auto r = ctx_.apps.runningApplication(app.bundleIdentifier)) running.push_back(*r);

  const auto& pending = ctx_.pendingLaunches[workspaceID];
  bool launching = std::any_of(pending.begin(), pending.end(), [&](const std::string& b) {
    return !ctx_.apps.runningApplication(b).has_value();
  });
  if (!launching)
    launching = std::any_of(running.begin(), running.end(),
                            [](const RunningApp& r) { return !r.isFinishedLaunching; });

  int ready = 0, windowsReady = 0;
  bool chooserUp = false;
  auto& ax = ctx_.axController;
  for (const auto& app : running) {
    if (!app.isFinishedLaunching) continue;
    Seconds started = ctx_.now();
    if (ax.mainWindow(app.pid)) {
      ++ready;
      ++windowsReady;
    } else if (auto dialog = AXWindowController::selectPendingDialog(ax.windowInfos(app.pid))) {
      noteOwnChooser(*dialog, workspaceID);
      chooserUp = true;
      ++ready;
    } else if (ax.appHasNativeFullScreenWindow(app.pid)) {
      ++ready;
    }
    Seconds took = ctx_.now() - started;
    if (took >= kSlowRead)
      Log::line(fmt::format("[Zelvorn][AX] {}: reading its windows took {} ms.", appName(app),
                            static_cast<long long>(took * 1000)));
  }
  if (chooserUp) hideShieldsAndDividers(workspaceID);

  bool allReady = ctx_.pendingLaunches[workspaceID].empty() && !running.empty() &&
                  ready == static_cast<int>(running.size());
  if (!allReady) {
    int limit = launching ? kMaxPollsWhileLaunching : kMaxPolls;
    int count = launching ? launchWaits : attempt;
    if (count < limit) {
      if (placedWindowCount < windowsReady) ctx_.placer->placeWindows(*workspace, true, true);
      int nextAttempt = launching ? attempt : attempt + 1;
      int nextWaits = launching ? launchWaits + 1 : launchWaits;
      int placed = std::max(windowsReady, placedWindowCount);
      ctx_.after(kPollInterval, [this, workspaceID, nextAttempt, nextWaits, placed] {
        tileWhenWindowsReady(workspaceID, nextAttempt, nextWaits, placed);
      });
      return;
    }
    Log::line(fmt::format(
        "[Zelvorn] Show: {}/{} windows ready after ~{:.1f}s{}; tiling what's available.",
        windowsReady, running.size(), (attempt + launchWaits) * kPollInterval,
        launching ? " with an app still launching" : ""));
  }
  finish(*workspace);
}

void TilingWaiter::finish(const Workspace& workspace) {
  const Uuid id = workspace.id;
  auto shortApps = ctx_.binding->appsShortOfWindows(workspace, {});
  if (!shortApps.empty()) {
    Log::line("[Zelvorn] Show withdrawn after launch — " + shortList(shortApps) + ".");
    ctx_.hiding->hideWorkspace(id);
    ctx_.binding->presentShortOfWindowsBlock(
        id, shortApps, [ctx = &ctx_, id] { ctx->controller->showWorkspace(id); });
    return;
  }
  Seconds started = ctx_.now();
  tileAndReport(workspace);
  Seconds tiled = ctx_.now() - started;
  if (auto it = ctx_.showStartedAt.find(id); it != ctx_.showStartedAt.end()) {
    Seconds sinceClick = ctx_.now() - it->second;
    ctx_.showStartedAt.erase(it);
    Log::line(fmt::format("[Zelvorn] Show ‘{}’: tiled in {} ms, {} ms after the click.",
                          workspace.name, static_cast<long long>(tiled * 1000),
                          static_cast<long long>(sinceClick * 1000)));
  }
  ctx_.binding->inviteWindowlessApps(workspace, true);
}

void TilingWaiter::tileAndReport(const Workspace& workspace) {
  if (workspaceHasChooserUp(workspace)) hideShieldsAndDividers(workspace.id);
  auto report = ctx_.placer->placeWindows(workspace, false, true);
  if (!report.fullScreenApps.empty()) ctx_.stageManager->reconcileFullScreenChrome(workspace.id);
  if (!ctx_.services.modal.isProgramActiveWithKeyWindow())
    ctx_.controller->focusPrimary(std::nullopt, workspace);
  if (!report.issues.empty()) ctx_.alerts->presentArrangeIssues(workspace.name, report.issues);
  if (!report.fullScreenApps.empty()) {
    Uuid id = workspace.id;
    auto apps = report.fullScreenApps;
    ctx_.nextTurn([this, id, apps] { ctx_.stageManager->presentFullScreenBlock(id, apps); });
  }
  ctx_.binding->resetReconcileSweep();
  ctx_.binding->runReconcileSweep();
  ctx_.focus->maybeShowWorkspaceTips(workspace.id, !report.fullScreenApps.empty());
}

bool TilingWaiter::workspaceHasChooserUp(const Workspace& workspace) {
  for (const auto& app : workspace.apps) {
    auto running = ctx_.apps.runningApplication(app.bundleIdentifier);
    if (!running || !running->isFinishedLaunching) continue;
    if (AXWindowController::selectPendingDialog(ctx_.axController.windowInfos(running->pid)))
      return true;
  }
  return false;
}

void TilingWaiter::updateLoadingChrome(const Uuid& workspaceID) {
  auto* session = ctx_.session(workspaceID);
  auto workspace = ctx_.workspace(workspaceID);
  if (!session || !workspace || ctx_.focus->soloWorkspaceID() == workspaceID) return;
  bool up = workspaceHasChooserUp(*workspace);
  session->chrome->paneShieldsHidden = up;
  session->chrome->dividersHidden = up;
}

void TilingWaiter::noteOwnChooser(const AXWindowController::WindowInfo& dialog,
                                  const Uuid& workspaceID) {
  if (auto number = ctx_.axController.windowNumber(dialog.element))
    ctx_.ownChooserWindowIDs[workspaceID].insert(*number);
}

void TilingWaiter::hideShieldsAndDividers(const Uuid& workspaceID) {
  if (auto* session = ctx_.session(workspaceID)) {
    session->chrome->paneShieldsHidden = true;
    session->chrome->dividersHidden = true;
  }
}

}  // namespace zelvorn
