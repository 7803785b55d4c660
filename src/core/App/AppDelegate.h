// The root object of the process: builds every long-lived object in a fixed order when launching
// has finished, queues zelvorn:// links that arrive before it is ready and replays them at the end
// of launch, routes links, and gives back what the program took from other applications when it
// quits. Everything here runs on the main loop.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "App/AppPlatform.h"
#include "App/ZelvornURL.h"
#include "Platform/MenuModel.h"

namespace zelvorn {

class AppRegistry;
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
  const std::vector<std::string>& pendingURLs() const { return pendingURLs_; }

  // What a routed command does. Workspace commands are not wired yet, so by default a routed
  // command is only logged; a test or the demo may watch commands here.
  void setPerformHook(std::function<void(const ZelvornURL::Command&)> hook) {
    performHook_ = std::move(hook);
  }

 private:
  void flushPendingURLs();
  void route(const std::vector<std::string>& urls);
  void perform(const ZelvornURL::Command& command);
  void logInstallationWarnings();

  AppPlatform platform_;
  std::unique_ptr<AppRegistry> appRegistry_;
  std::unique_ptr<WorkspaceManager> workspaceManager_;
  // Stands in for "the workspace controller exists" until the session controller joins the
  // launch: then this becomes `workspaceController_ != nullptr`.
  bool workspaceControllerExists_ = false;
  bool launched_ = false;
  std::vector<std::string> pendingURLs_;
  std::function<void(const ZelvornURL::Command&)> performHook_;
};

}  // namespace zelvorn
