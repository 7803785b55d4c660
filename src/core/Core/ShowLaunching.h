// Getting a workspace's applications going for a show: unhiding what is hidden, launching what is
// not running (once per bundle, with the documents its panes remembered), opening remembered
// documents a running application no longer shows, and reopening running apps without windows.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Core/ControllerContext.h"
#include "Platform/RunningApp.h"

namespace zelvorn {

class ShowLaunching {
 public:
  static constexpr Seconds kDocumentBeforeLaunch = 30;
  static constexpr Seconds kDocumentAfterLaunch = 15;
  static constexpr Seconds kDocumentInRunningApp = 10;
  static constexpr float kDocumentCheckTimeout = 0.5f;
  static constexpr float kWindowlessCheckTimeout = 0.3f;

  // What starting the apps found.
  struct Started {
    std::set<std::string> launching;
    std::set<std::string> unhidden;
    std::vector<ManagedApp> visibleRunning;
    std::optional<RunningApp> primary;
  };

  explicit ShowLaunching(ControllerContext& ctx) : ctx_(ctx) {}

  // Unhides and launches; once every launch has answered, the apps that are missing or failed to
  // launch are reported on the next turn.
  Started startApps(const Workspace& workspace, const std::optional<std::string>& primaryBundleID);
  // Adds the bundles it opens documents with to `launching`.
  void openMissingDocuments(const Workspace& workspace, std::set<std::string>& launching);
  void reopenWindowlessApps(const std::vector<ManagedApp>& panes,
                            const std::set<std::string>& skipping);

 private:
  struct LaunchGroup {
    int entered = 0;
    bool armed = false;
    std::string workspaceName;
    std::vector<std::string> missing;
    std::vector<std::string> launchErrors;
  };
  void launch(const Workspace& workspace, const ManagedApp& app,
              const std::shared_ptr<LaunchGroup>& group);
  void leave(const std::shared_ptr<LaunchGroup>& group);

  ControllerContext& ctx_;
};

}  // namespace zelvorn
