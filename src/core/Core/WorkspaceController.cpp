#include "Core/WorkspaceController.h"

#include <fmt/format.h>

#include "App/Log.h"
#include "Core/ContainerFraming.h"
#include "Core/ControllerScreens.h"
#include "Core/DocumentMemory.h"
#include "Core/FocusState.h"
#include "Core/ShowAlerts.h"
#include "Core/ShowLaunching.h"
#include "Core/StageManagerGate.h"
#include "Core/ThreeColumnsFitting.h"
#include "Core/TilingWaiter.h"
#include "Core/UserGeometry.h"
#include "Core/WindowBinding.h"
#include "Core/WindowObserverHub.h"
#include "Core/WindowPlacement.h"
#include "Core/WorkspaceCapture.h"
#include "Core/WorkspaceHiding.h"

namespace zelvorn {

namespace {

std::string quotedNames(const std::vector<std::string>& names) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i)
    out += (i ? ", ‘" : "‘") + names[i] + "’";
  return out;
}

// How many apps the layout tiles; none for a layout that takes any count.
std::optional<int> requiredAppCount(LayoutType type) {
  if (type == LayoutType::mainSidebar) return std::nullopt;
  return paneCount(type);
}

}  // namespace

WorkspaceController::WorkspaceController(ControllerServices services)
    : ctx_(std::make_unique<ControllerContext>(services)) {
  auto& c = *ctx_;
  screens_ = std::make_unique<ControllerScreens>(c);
  placement_ = std::make_unique<WindowPlacement>(c);
  framing_ = std::make_unique<ContainerFraming>(c);
  launching_ = std::make_unique<ShowLaunching>(c);
  documents_ = std::make_unique<DocumentMemory>(c);
  waiter_ = std::make_unique<TilingWaiter>(c);
  alerts_ = std::make_unique<ShowAlerts>(c);
  binding_ = std::make_unique<WindowBinding>(c);
  hiding_ = std::make_unique<WorkspaceHiding>(c);
  geometry_ = std::make_unique<UserGeometry>(c);
  focus_ = std::make_unique<FocusState>(c);
  stageManager_ = std::make_unique<StageManagerGate>(c);
  threeColumns_ = std::make_unique<ThreeColumnsFitting>(c);
  observers_ = std::make_unique<WindowObserverHub>();
  c.controller = this;
  c.screens = screens_.get();
  c.placer = placement_.get();
  c.framing = framing_.get();
  c.launching = launching_.get();
  c.documents = documents_.get();
  c.waiter = waiter_.get();
  c.alerts = alerts_.get();
  c.binding = binding_.get();
  c.hiding = hiding_.get();
  c.geometry = geometry_.get();
  c.focus = focus_.get();
  c.stageManager = stageManager_.get();
  c.threeColumns = threeColumns_.get();
  c.observers = observers_.get();
}

WorkspaceController::~WorkspaceController() = default;

void WorkspaceController::hideWorkspace(const Uuid& id) {
  hiding_->hideWorkspace(id);
}

void WorkspaceController::hideActiveWorkspace() {
  auto active = ctx_->manager.activeWorkspaceID();
  if (!active) {
    Log::line("[Zelvorn] Hide active workspace requested, but none is active — ignored.");
    return;
  }
  Log::line("[Zelvorn] Hide active workspace requested: " + ctx_->manager.name(active));
  hideWorkspace(*active);
}

void WorkspaceController::showWorkspace(const Uuid& id, std::function<void()> onShown) {
  auto& c = *ctx_;
  auto found = c.workspace(id);
  if (!found) return;
  Workspace workspace = *found;
  const std::string& name = workspace.name;
  Log::line("[Zelvorn] Show workspace requested: " + name);

  c.sharing.released.erase(id);
  c.ledgers.storeReleased(c.sharing.released);

  int count = static_cast<int>(workspace.apps.size());
  if (count == 0) {
    alerts_->presentError("“" + name + "” has no apps",
                          "Add 2–4 apps to this workspace in Settings, then try again.");
    return;
  }
  if (auto needed = requiredAppCount(workspace.layout.type); needed && *needed != count) {
    std::string n = std::to_string(*needed);
    alerts_->presentError("“" + name + "” needs " + n + " apps",
                          "The “" + workspace.layout.displayName() + "” layout tiles " + n +
                              " apps. Open Settings to add or remove apps, or pick a different "
                              "layout.");
    return;
  }

  auto primary = workspace.primaryApp();
  std::optional<std::string> primaryBundleID;
  if (primary) primaryBundleID = primary->bundleIdentifier;
  std::set<std::string> bundles;
  for (const auto& app : workspace.apps)
    bundles.insert(app.bundleIdentifier);
  c.ledgers.forgetHiddenApps(bundles);
  Seconds requested = c.now();
  c.showStartedAt[id] = requested;

  auto groups = framing_->sameDisplayGroupsSharing(id);
  if (!groups.empty()) {
    std::vector<std::string> names;
    for (const auto& g : groups) {
      c.sharing.yielding.insert(g);
      names.push_back(c.manager.name(g));
    }
    Log::line("[Zelvorn][shared] Show ‘" + name + "’: same display, shares apps with " +
              quotedNames(names) + " → it yields and is put away.");
  }
  struct YieldingEnds {
    ControllerContext& c;
    const std::set<Uuid>& groups;
    ~YieldingEnds() {
      for (const auto& g : groups)
        c.sharing.yielding.erase(g);
    }
  } yieldingEnds{c, groups};

  auto started = launching_->startApps(workspace, primaryBundleID);
  focusPrimary(started.primary, workspace);

  c.permission.logDiagnostics("Show Workspace ‘" + name + "’");
  if (!c.permission.isTrusted()) {
    c.permission.promptForTrust();
    c.permission.logDiagnostics("ensureTrusted (not trusted)");
    Log::line("[Zelvorn] Show: Accessibility not granted — apps launched, frame/tiling skipped.");
    return;
  }

  stageManager_->refreshState();
  if (stageManager_->isEnabled()) {
    Log::line("[Zelvorn] Show blocked — Stage Manager is enabled; not tiling ‘" + name +
              "’ (would fight it).");
    stageManager_->presentStageManagerBlock(id);
    return;
  }

  std::set<std::string> launching = started.launching;
  launching_->openMissingDocuments(workspace, launching);

  auto shortApps = binding_->appsShortOfWindows(workspace, launching);
  if (!shortApps.empty()) {
    std::string list;
    for (std::size_t i = 0; i < shortApps.size(); ++i)
      list += (i ? ", " : "") + shortApps[i].appName + " " + std::to_string(shortApps[i].windows) +
              "/" + std::to_string(shortApps[i].panes);
    Log::line("[Zelvorn] Show blocked — " + list + ".");
    binding_->presentShortOfWindowsBlock(id, shortApps, [this, id] { showWorkspace(id); });
    return;
  }

  workspace = framing_->showContainerFrame(workspace);
  auto ms = static_cast<long long>((c.now() - requested) * 1000);
  Log::line(fmt::format("[Zelvorn] Show ‘{}’: frame up in {} ms{}", name, ms,
                        launching.empty()
                            ? std::string(".")
                            : fmt::format(", {} app(s) still launching.", launching.size())));

  launching_->reopenWindowlessApps(started.visibleRunning, launching);
  waiter_->tileWhenWindowsReady(id, 0, 0, 0);

  for (const auto& g : groups)
    if (c.session(g)) hiding_->hideWorkspace(g);

  c.after(1.0, [this, id] {
    auto w = ctx_->workspace(id);
    if (w && ctx_->session(id)) hiding_->parkKeptWindows(*w);
  });
  if (onShown) onShown();
}

std::vector<ManagedApp> WorkspaceController::seedAppsFromCurrentWindows(std::size_t limit) {
  auto& c = *ctx_;
  if (!c.permission.isTrusted()) return {};
  Seconds started = c.now();
  WorkspaceCapture capture(c.axController, c.services.windowList, c.services.runningApps,
                           c.services.displays, c.loop);
  std::vector<ManagedApp> apps;
  std::string names;
  for (const auto& candidate : capture.distinctFrontApps(limit)) {
    if (!candidate.app.bundlePath) continue;
    auto made = c.registry.makeManagedApp(*candidate.app.bundlePath);
    if (!made) continue;
    names += (apps.empty() ? "" : " + ") + made.value().displayName;
    apps.push_back(made.value());
  }
  Log::line(fmt::format("[Zelvorn] Builder seed from current windows: {} ({} ms)",
                        apps.empty() ? "none" : names,
                        static_cast<long long>((c.now() - started) * 1000)));
  return apps;
}

void WorkspaceController::focusPrimary(const std::optional<RunningApp>& primary,
                                       const Workspace& workspace) {
  std::optional<RunningApp> target = primary;
  if (!target) {
    if (auto p = workspace.primaryApp())
      target = ctx_->apps.runningApplication(p->bundleIdentifier);
  }
  if (!target) {
    for (const auto& app : workspace.apps)
      if ((target = ctx_->apps.runningApplication(app.bundleIdentifier))) break;
  }
  if (target) ctx_->services.runningApps.activate(target->pid, ActivateOptions::none);
}

WorkspaceSession& WorkspaceController::makeSession(const Uuid& id) {
  stageManager_->startWatchesIfNeeded();
  auto& session = ctx_->sessions[id];
  session = WorkspaceSession{};
  wireChrome(session, id);
  return session;
}

// Each callback holds the controller weakly and finds the session again by id.
void WorkspaceController::wireChrome(WorkspaceSession& session, const Uuid& id) {
  auto alive = ctx_->liveness();
  auto guarded = [alive, this, id](auto body) {
    return [alive, this, id, body](auto&&... args) {
      // A callback may end the session that owns this closure: work on copies.
      auto self = this;
      Uuid workspaceID = id;
      auto run = body;
      if (alive.lock()) run(*self, workspaceID, args...);
    };
  };
  auto& cb = session.chrome->callbacks;
  cb.onHide = guarded([](WorkspaceController& self, const Uuid& wid) { self.hideWorkspace(wid); });
  cb.onMaximizeToggled = guarded([](WorkspaceController& self, const Uuid& wid) {
    if (auto w = self.ctx_->workspace(wid)) self.focusPrimary(std::nullopt, *w);
  });
  cb.onContainerChanged =
      guarded([](WorkspaceController& self, const Uuid& wid, const AXRect& rect) {
        auto* s = self.session(wid);
        if (!s) return;
        s->containerAXRect = rect;
        self.geometry_->scheduleSnap(wid);
        self.geometry_->schedulePersist(wid);
        self.focus_->pulseChromeGuard();
      });
  cb.onDividerCommitted =
      guarded([](WorkspaceController& self, const Uuid& wid, const std::vector<double>& ratios) {
        if (auto w = self.ctx_->workspace(wid)) self.geometry_->persistRatiosIfChanged(*w, ratios);
      });
}

}  // namespace zelvorn
