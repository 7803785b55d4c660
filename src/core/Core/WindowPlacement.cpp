#include "Core/WindowPlacement.h"

#include <fmt/format.h>

#include "App/Log.h"
#include "Core/ControllerScreens.h"
#include "Core/ShowAlerts.h"
#include "Core/StageManagerGate.h"
#include "Core/ThreeColumnsFitting.h"
#include "Core/UserGeometry.h"
#include "Core/WindowBinding.h"
#include "Core/WindowObserverHub.h"
#include "Layout/GeometryLog.h"
#include "Layout/WorkspaceGeometry.h"

namespace zelvorn {

namespace {

bool isFailed(const AXWindowController::PlacementOutcome& o) {
  return std::holds_alternative<AXWindowController::Failed>(o);
}

}  // namespace

std::string WindowPlacement::cannotMoveIssue(const ManagedApp& app) {
  return "Zelvorn couldn’t move " + app.displayName +
         "’s window. Some apps restrict window control.";
}

WindowPlacement::PlacementReport WindowPlacement::placeWindows(const Workspace& given, bool quiet,
                                                               bool scheduleLearn) {
  if (ctx_.stageManager->isEnabled()) return {};
  // A folding three-column workspace starts from the manager's copy, which a fold may have changed.
  Workspace base = given;
  if (WorkspaceGeometry::isThreeColumnsWorkspace(given))
    if (auto current = ctx_.workspace(given.id)) base = *current;
  Workspace workspace = ctx_.threeColumns->applyThreeColumnsFold(base, std::nullopt, false);
  if (workspace.apps.empty()) return {};

  auto* session = ctx_.session(workspace.id);
  WorkspaceGeometry::ContainerFacts facts;
  if (session) facts.sessionContainerAXRect = session->containerAXRect;
  facts.currentTopology = ctx_.screens->currentTopology();
  facts.mainScreenVisibleAX = ctx_.screens->mainScreenVisibleAX();
  auto [ratios, rects] = WorkspaceGeometry::tileRects(workspace, facts);

  for (const auto& r : rects) {
    if (r.width < kMinPaneLength || r.height < kMinPaneLength) {
      if (!quiet) ctx_.alerts->presentTooSmall();
      return {};
    }
  }

  PlacementToken token = ctx_.placement.next(workspace.id);
  ctx_.geometry->beginPlacementGuard();

  PlacementReport report;
  std::vector<TrackedWindow> tracked;
  std::vector<PendingCheck> checks;
  for (std::size_t i = 0; i < workspace.apps.size() && i < rects.size(); ++i) {
    if (!ctx_.placement.isCurrent(token) || !ctx_.session(workspace.id)) break;
    const ManagedApp& app = workspace.apps[i];
    auto running = ctx_.apps.runningApplication(app.bundleIdentifier);
    if (!running) {
      report.issues.push_back(app.displayName + " isn’t running.");
      continue;
    }
    if (running->isHidden) ctx_.services.runningApps.unhide(running->pid);
    auto placed = placeManagedWindow(app, *running, rects[i], report.issues, checks);
    if (!placed) continue;
    if (auto* p = std::get_if<Placed>(&*placed)) {
      tracked.push_back({app.id, running->pid, p->window});
    } else {
      const auto& fs = std::get<FullScreen>(*placed);
      if (fs.window) tracked.push_back({app.id, running->pid, *fs.window});
      report.fullScreenApps.push_back(app.displayName);
    }
  }

  // Every window has been asked to move; now see where each one went.
  for (const auto& check : checks) {
    if (!ctx_.placement.isCurrent(token) || !ctx_.session(workspace.id)) break;
    noteRefusal(*check.app, finishPlacement(check), check.request.frame, check.request.window);
  }

  // A pass cut off by a newer one leaves the session to it.
  session = ctx_.session(workspace.id);
  if (!session || !ctx_.placement.isCurrent(token)) return report;
  session->elements = std::move(tracked);
  ctx_.observers->rebuildWindowObserver();
  ctx_.geometry->persistRatiosIfChanged(workspace, ratios);
  session->chrome->syncRatios(WorkspaceGeometry::isThreeColumnsWorkspace(workspace)
                                  ? WorkspaceGeometry::threeColumnsRatios(workspace)
                                  : ratios);
  if (scheduleLearn) ctx_.threeColumns->scheduleLearnAppMinimums(workspace.id);
  if (!quiet) ctx_.geometry->logPlacementDeviation(workspace, rects);
  return report;
}

std::optional<WindowPlacement::ManagedPlacement> WindowPlacement::placeManagedWindow(
    const ManagedApp& app, const RunningApp& running, const AXRect& rect,
    std::vector<std::string>& issues, std::vector<PendingCheck>& checks) {
  if (!running.isFinishedLaunching) return std::nullopt;
  auto& ax = ctx_.axController;
  // The read-back comes later, with every other pane's; an outcome known now is dealt with now.
  auto begin = [&](const AXElement& window) -> std::optional<PlacementOutcome> {
    auto begun = beginPlacement(window, rect, app.displayName);
    if (auto* check = std::get_if<PendingCheck>(&begun)) {
      check->app = &app;
      checks.push_back(std::move(*check));
      return std::nullopt;
    }
    return std::get<PlacementOutcome>(begun);
  };

  if (auto cached = ctx_.windowCache.window(app.id, running.pid)) {
    if (ax.boolValue(*cached, "AXFullScreen")) return FullScreen{*cached};
    auto outcome = begin(*cached);
    if (!outcome || !isFailed(*outcome)) {
      if (outcome) noteRefusal(app, *outcome, rect, *cached);
      return Placed{*cached};
    }
    if (ax.sizeValue(*cached, "AXSize")) {
      issues.push_back(cannotMoveIssue(app));
      return Placed{*cached};
    }
    ctx_.windowCache.invalidate(app.id);
  }

  auto resolved = ctx_.binding->resolveWindow(app, running);
  if (!resolved) {
    if (!ax.appHasNativeFullScreenWindow(running.pid)) {
      Log::line("[Zelvorn] " + app.displayName +
                ": running but no window yet — pane pending, will adopt on window appear.");
      return std::nullopt;
    }
    Log::line("[Zelvorn] " + app.displayName +
              ": native fullscreen (AX blind) — leaving it alone (awaiting exit).");
    return FullScreen{};
  }
  if (resolved->isFullScreen) {
    Log::line("[Zelvorn] " + app.displayName +
              ": window is in native fullscreen — leaving it alone (awaiting exit).");
    return FullScreen{resolved->element};
  }
  if (auto outcome = begin(resolved->element)) {
    if (isFailed(*outcome))
      issues.push_back(cannotMoveIssue(app));
    else
      noteRefusal(app, *outcome, rect, resolved->element);
  }
  return Placed{resolved->element};
}

WindowPlacement::PlacementOutcome WindowPlacement::placeWindow(const AXElement& window,
                                                               const AXRect& rect,
                                                               const std::string& appName) {
  auto begun = beginPlacement(window, rect, appName);
  if (auto* check = std::get_if<PendingCheck>(&begun)) return finishPlacement(*check);
  return std::get<PlacementOutcome>(begun);
}

void WindowPlacement::logIfSlow(const std::string& appName, Seconds took) const {
  if (took >= kSlowCall)
    Log::line(fmt::format("[Zelvorn][AX] {}: placing a window took {} ms.", appName,
                          static_cast<long long>(took * 1000)));
}

WindowPlacement::Begun WindowPlacement::beginPlacement(const AXElement& window, const AXRect& rect,
                                                       const std::string& appName) {
  Seconds started = ctx_.now();
  auto& ax = ctx_.axController;
  if (auto number = ax.windowNumber(window); number && ctx_.ledgers.isParked(*number)) {
    ctx_.ledgers.forgetParked(*number);
    ctx_.sharing.parkedElements.erase(window);
    Log::line("[Zelvorn][shared] " + appName + ": back from parking.");
  }
  std::size_t key = window.hash();

  std::optional<DisplayNumber> from, to = ctx_.screens->displayID(rect);
  auto position = ax.point(window, "AXPosition");
  auto size = ax.sizeValue(window, "AXSize");
  if (position && size)
    from = ctx_.screens->displayID({position->x, position->y, size->width, size->height});
  if (from && to && from != to) {
    ctx_.services.accessibility.setAttribute(window, "AXPosition", rect.origin());
    auto p = ax.point(window, "AXPosition");
    auto s = ax.sizeValue(window, "AXSize");
    std::optional<DisplayNumber> now;
    if (p && s) now = ctx_.screens->displayID({p->x, p->y, s->width, s->height});
    if (now != to)
      Log::line("[Zelvorn] " + appName +
                ": didn't reach the other display on the first move — placing it anyway.");
    std::uint64_t token = ++secondPhaseSerial_;
    pendingSecondPhase_[key] = token;
    ctx_.after(kSecondPhaseDelay, [this, key, token, window, rect] {
      auto it = pendingSecondPhase_.find(key);
      if (it == pendingSecondPhase_.end() || it->second != token) return;
      pendingSecondPhase_.erase(it);
      ctx_.geometry->beginPlacementGuard();
      ctx_.axController.place(window, rect);
    });
    logIfSlow(appName, ctx_.now() - started);
    return AXWindowController::Placed{};
  }
  pendingSecondPhase_.erase(key);
  auto request = ax.requestPlacement(window, rect);
  if (auto* failed = std::get_if<AXWindowController::Failed>(&request)) {
    logIfSlow(appName, ctx_.now() - started);
    return *failed;
  }
  return PendingCheck{nullptr, appName, std::get<AXWindowController::PlacementRequest>(request),
                      ctx_.now() - started};
}

WindowPlacement::PlacementOutcome WindowPlacement::finishPlacement(const PendingCheck& check) {
  Seconds started = ctx_.now();
  auto outcome = ctx_.axController.finishPlacement(check.request);
  logIfSlow(check.appName, check.spent + ctx_.now() - started);
  return outcome;
}

void WindowPlacement::noteRefusal(const ManagedApp& app, const PlacementOutcome& outcome,
                                  const AXRect& requested, const AXElement& window) {
  const auto* refused = std::get_if<AXWindowController::Refused>(&outcome);
  if (!refused) {
    ctx_.lastLoggedRefusal.erase(app.id);
    return;
  }
  auto it = ctx_.lastLoggedRefusal.find(app.id);
  if (it != ctx_.lastLoggedRefusal.end() && it->second == refused->actual) return;
  ctx_.lastLoggedRefusal[app.id] = refused->actual;
  Log::line("[Zelvorn] " + app.displayName + " refused its pane: asked " +
            GeometryLog::rectDescription(requested) + ", window is " +
            GeometryLog::rectDescription(refused->actual) + ". [" +
            ctx_.axController.windowKind(window) + "]");
}

}  // namespace zelvorn
