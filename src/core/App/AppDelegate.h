// The root object of the process: builds every long-lived object in a fixed order when launching
// has finished, queues zelvorn:// links that arrive before it is ready and replays them at the end
// of launch, routes links, and gives back what the program took from other applications when it
// quits. Everything here runs on the main loop.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "App/AppPlatform.h"
#include "App/ZelvornURL.h"
#include "Platform/MenuModel.h"

namespace zelvorn {

class AppRegistry;
class WorkspaceController;
class WorkspaceManager;

class AppDelegate {
 public:
  static constexpr std::string_view kLogToFileKey = "ZelvornLogToFile";
  static constexpr std::string_view kUnhideAskedAtKey = "ZelvornUnhideAskedAt";

  // Keeps the platform; builds nothing until launching has finished.
  explicit AppDelegate(AppPlatform platform);
  ~AppDelegate();
  AppDelegate(const AppDelegate&) = delete;
  AppDelegate& operator=(const AppDelegate&) = delete;

  // The callbacks to hand to the shell's `run`.
  AppCallbacks callbacks();

  void applicationDidFinishLaunching();
  // One open-links event from the system.
  void applicationOpenURLs(const std::vector<std::string>& urls);
  // Always false: the system is not asked to do anything further.
  bool applicationShouldHandleReopen(bool hasVisibleWindows);
  void applicationWillTerminate();
  bool applicationSupportsSecureRestorableState() const { return true; }

  // The two standard menus the program's windows take their key equivalents from.
  static MenuModel makeMainMenu();

  // Null before launch has finished.
  WorkspaceManager* workspaceManager() const { return workspaceManager_.get(); }
  // Null until launch has gone far enough to run commands; links are queued until then.
  WorkspaceController* workspaceController() const { return workspaceController_.get(); }
  const std::vector<std::string>& pendingURLs() const { return pendingURLs_; }

  // Watches every routed command just before it is performed (the demo narrates them).
  void setPerformHook(std::function<void(const ZelvornURL::Command&)> hook) {
    performHook_ = std::move(hook);
  }

 private:
  void flushPendingURLs();
  void route(const std::vector<std::string>& urls);
  void perform(const ZelvornURL::Command& command);
  // The workspace a link names, or none after logging that nothing matches.
  std::optional<Uuid> resolveLinkTarget(const std::string& target) const;
  void logInstallationWarnings();

  AppPlatform platform_;
  std::unique_ptr<AppRegistry> appRegistry_;
  std::unique_ptr<WorkspaceManager> workspaceManager_;
  std::unique_ptr<WorkspaceController> workspaceController_;
  bool launched_ = false;
  std::vector<std::string> pendingURLs_;
  std::function<void(const ZelvornURL::Command&)> performHook_;
};

}  // namespace zelvorn
