// The hub of the shown workspaces: owns their sessions and the public entry points (show, hide),
// and the parts each concern lives in (framing, launching, waiting, placement, binding, hiding,
// geometry, focus, alerts), which reach the shared services and state through one context.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Core/ControllerContext.h"
#include "Platform/RunningApp.h"

namespace zelvorn {

// The parts are forward-declared in ControllerContext.h.

class WorkspaceController {
 public:
  explicit WorkspaceController(ControllerServices services);
  ~WorkspaceController();
  WorkspaceController(const WorkspaceController&) = delete;
  WorkspaceController& operator=(const WorkspaceController&) = delete;

  // Shows the workspace; `onShown` runs once, when the flow reaches the tiling stage. An unknown
  // id does nothing.
  void showWorkspace(const Uuid& id, std::function<void()> onShown = {});
  void hideWorkspace(const Uuid& id);
  // Hides the workspace the user is working in, if any (the hide link and shortcut).
  void hideActiveWorkspace();

  WorkspaceSession& makeSession(const Uuid& id);
  WorkspaceSession* session(const Uuid& id) { return ctx_->session(id); }
  bool isShown(const Uuid& id) const { return ctx_->sessions.count(id) > 0; }
  // Apps for a new workspace from the windows on screen now, front-most first.
  std::vector<ManagedApp> seedAppsFromCurrentWindows(std::size_t limit);
  // Activates the primary application when it runs, else the first running app of the workspace.
  void focusPrimary(const std::optional<RunningApp>& primary, const Workspace& workspace);

  ControllerContext& context() { return *ctx_; }
  WindowPlacement& placement() { return *placement_; }
  ContainerFraming& framing() { return *framing_; }
  TilingWaiter& waiter() { return *waiter_; }
  DocumentMemory& documents() { return *documents_; }
  ShowLaunching& launching() { return *launching_; }
  StageManagerGate& stageManager() { return *stageManager_; }
  WindowObserverHub& observers() { return *observers_; }
  FocusState& focus() { return *focus_; }

 private:
  void wireChrome(WorkspaceSession& session, const Uuid& id);

  std::unique_ptr<ControllerContext> ctx_;
  std::unique_ptr<ControllerScreens> screens_;
  std::unique_ptr<WindowPlacement> placement_;
  std::unique_ptr<ContainerFraming> framing_;
  std::unique_ptr<ShowLaunching> launching_;
  std::unique_ptr<DocumentMemory> documents_;
  std::unique_ptr<TilingWaiter> waiter_;
  std::unique_ptr<ShowAlerts> alerts_;
  std::unique_ptr<WindowBinding> binding_;
  std::unique_ptr<WorkspaceHiding> hiding_;
  std::unique_ptr<UserGeometry> geometry_;
  std::unique_ptr<FocusState> focus_;
  std::unique_ptr<StageManagerGate> stageManager_;
  std::unique_ptr<ThreeColumnsFitting> threeColumns_;
  std::unique_ptr<WindowObserverHub> observers_;
};

}  // namespace zelvorn
