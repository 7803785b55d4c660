// Other applications as processes: finding the running instance of a bundle identifier,
// launching an application (with documents or without) so that it never takes focus, and asking a
// running one to come forward. The session controller owns one; it keeps no state.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Core/AppRegistry.h"
#include "Models/ManagedApp.h"
#include "Platform/ILaunchServices.h"
#include "Platform/IRunningApps.h"
#include "Platform/Result.h"

namespace zelvorn {

class ExternalAppController {
 public:
  struct AppControlError {
    enum class Kind { notInstalled, launchFailed };
    Kind kind = Kind::notInstalled;
    std::string name;
    Error underlying;  // the system's error, for launchFailed
    bool operator==(const AppControlError&) const = default;
    std::string description() const;
  };
  using LaunchResult = Result<RunningApp, AppControlError>;
  using LaunchCompletion = std::function<void(LaunchResult)>;

  // The error the system reports for a file that is not there, when it gives no reason itself.
  static constexpr int kFileNoSuchFile = 4;

  ExternalAppController(IRunningApps& runningApps, ILaunchServices& launchServices,
                        AppRegistry& registry)
      : runningApps_(runningApps), launchServices_(launchServices), registry_(registry) {}

  // The first regular instance, else the first instance at all.
  std::optional<RunningApp> runningApplication(std::string_view bundleIdentifier);
  // Completes on the main loop (at once, before returning, when the app cannot be found).
  void launch(const ManagedApp& app, LaunchCompletion completion);
  void launch(const ManagedApp& app, const std::vector<std::string>& opening,
              LaunchCompletion completion);
  // An activating open: brings a running app forward and, for most apps, opens a window.
  void reopen(const ManagedApp& app);

 private:
  IRunningApps& runningApps_;
  ILaunchServices& launchServices_;
  AppRegistry& registry_;
};

}  // namespace zelvorn
