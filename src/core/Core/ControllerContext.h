// What the session controller's parts share: the platform services, the Accessibility access and
// app services the controller owns, the session state of every shown workspace, and the parts
// themselves. Each part holds the context, never the controller; delayed work goes through
// `after`, which drops the task once the controller is gone.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Accessibility/AXWindowController.h"
#include "Accessibility/AccessibilityPermission.h"
#include "Core/AppRegistry.h"
#include "Core/ExternalAppController.h"
#include "Core/ManagedWindowCache.h"
#include "Core/PlacementGeneration.h"
#include "Core/RecoveryLedgers.h"
#include "Core/SharedAppsState.h"
#include "Core/WorkspaceManager.h"
#include "Core/WorkspaceSession.h"
#include "Platform/IAccessibility.h"
#include "Platform/IDisplays.h"
#include "Platform/IEnvironment.h"
#include "Platform/IFileSystem.h"
#include "Platform/ILaunchServices.h"
#include "Platform/IMainLoop.h"
#include "Platform/IModalUI.h"
#include "Platform/IRunningApps.h"
#include "Platform/IWindowList.h"

namespace zelvorn {

class WorkspaceController;
class WindowPlacement;
class ContainerFraming;
class ShowLaunching;
class DocumentMemory;
class TilingWaiter;
class ShowAlerts;
class ControllerScreens;
class WindowBinding;
class WorkspaceHiding;
class UserGeometry;
class FocusState;
class StageManagerGate;
class ThreeColumnsFitting;
class WindowObserverHub;

// The platform as the controller reaches it.
struct ControllerServices {
  IMainLoop& loop;
  IAccessibility& accessibility;
  IWindowList& windowList;
  IRunningApps& runningApps;
  ILaunchServices& launchServices;
  IDisplays& displays;
  IModalUI& modal;
  IFileSystem& files;
  const IEnvironment& environment;
  WorkspaceManager& manager;
};

struct ControllerContext {
  explicit ControllerContext(ControllerServices s)
      : services(s),
        loop(s.loop),
        manager(s.manager),
        axController(s.accessibility, s.windowList, s.displays),
        permission(s.accessibility, s.environment, s.launchServices),
        registry(s.launchServices, s.files),
        apps(s.runningApps, s.launchServices, registry) {}
  ControllerContext(const ControllerContext&) = delete;
  ControllerContext& operator=(const ControllerContext&) = delete;

  ControllerServices services;
  IMainLoop& loop;
  WorkspaceManager& manager;
  AXWindowController axController;
  AccessibilityPermission permission;
  AppRegistry registry;
  ExternalAppController apps;

  // --- Session state ---
  std::map<Uuid, WorkspaceSession> sessions;
  std::map<Uuid, Seconds> showStartedAt;
  std::map<Uuid, std::set<std::string>> pendingLaunches;
  std::map<Uuid, Seconds> awaitingDocument;  // pane id → deadline
  std::map<Uuid, std::set<WindowNumber>> ownChooserWindowIDs;
  std::map<Uuid, std::string> tiledSignature;
  std::map<Uuid, AXRect> lastLoggedRefusal;  // pane id → frame last logged
  PlacementGeneration placement;
  SharedAppsState sharing;
  ManagedWindowCache windowCache;
  RecoveryLedgers ledgers;
  std::optional<std::string> cachedTopology;
  bool cachedTopologyValid = false;

  // --- The parts, set by the controller ---
  WorkspaceController* controller = nullptr;
  WindowPlacement* placer = nullptr;
  ContainerFraming* framing = nullptr;
  ShowLaunching* launching = nullptr;
  DocumentMemory* documents = nullptr;
  TilingWaiter* waiter = nullptr;
  ShowAlerts* alerts = nullptr;
  ControllerScreens* screens = nullptr;
  WindowBinding* binding = nullptr;
  WorkspaceHiding* hiding = nullptr;
  UserGeometry* geometry = nullptr;
  FocusState* focus = nullptr;
  StageManagerGate* stageManager = nullptr;
  ThreeColumnsFitting* threeColumns = nullptr;
  WindowObserverHub* observers = nullptr;

  WorkspaceSession* session(const Uuid& id) {
    auto it = sessions.find(id);
    return it == sessions.end() ? nullptr : &it->second;
  }
  std::optional<Workspace> workspace(const Uuid& id) const { return manager.workspace(id); }
  Seconds now() const { return loop.now(); }

  // Runs the task after `delay` unless the controller is gone by then; `delay` 0 is the next turn.
  TaskHandle after(Seconds delay, std::function<void()> task) {
    std::weak_ptr<int> alive = alive_;
    return loop.postAfter(delay, [alive, task = std::move(task)] {
      if (alive.lock()) task();
    });
  }
  void nextTurn(std::function<void()> task) {
    std::weak_ptr<int> alive = alive_;
    loop.post([alive, task = std::move(task)] {
      if (alive.lock()) task();
    });
  }
  // A handle that tells whether the controller still lives, for callbacks the platform keeps.
  std::weak_ptr<int> liveness() const { return alive_; }

 private:
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace zelvorn
