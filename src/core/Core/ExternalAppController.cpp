#include "Core/ExternalAppController.h"

#include "App/Log.h"

namespace zelvorn {

std::string ExternalAppController::AppControlError::description() const {
  switch (kind) {
    case Kind::notInstalled:
      return name + " is not installed or cannot be found.";
    case Kind::launchFailed:
      return "Zelvorn couldn't launch " + name + ": " + underlying.description;
  }
  return {};
}

std::optional<RunningApp> ExternalAppController::runningApplication(
    std::string_view bundleIdentifier) {
  auto apps = runningApps_.withBundleIdentifier(bundleIdentifier);
  if (apps.empty()) return std::nullopt;
  for (const auto& app : apps)
    if (app.activationPolicy == ActivationPolicy::regular) return app;
  return apps.front();
}

void ExternalAppController::launch(const ManagedApp& app, LaunchCompletion completion) {
  launch(app, {}, std::move(completion));
}

void ExternalAppController::launch(const ManagedApp& app, const std::vector<std::string>& opening,
                                   LaunchCompletion completion) {
  using Kind = AppControlError::Kind;
  auto path = registry_.resolveURL(app);
  if (!path) {
    completion(AppControlError{Kind::notInstalled, app.displayName, {}});
    return;
  }
  launchServices_.openApplication(
      *path, opening, /*activates=*/false,
      [name = app.displayName, completion = std::move(completion)](Result<RunningApp> result) {
        if (result) {
          completion(result.value());
          return;
        }
        Error underlying = result.error();
        if (underlying.description.empty())
          underlying = {kFileNoSuchFile, "The file doesn’t exist."};
        completion(AppControlError{Kind::launchFailed, name, underlying});
      });
}

void ExternalAppController::reopen(const ManagedApp& app) {
  auto path = registry_.resolveURL(app);
  if (!path) return;
  launchServices_.openApplication(
      *path, {}, /*activates=*/true, [name = app.displayName](Result<RunningApp> result) {
        if (result) return;
        std::string reason =
            result.error().description.empty() ? "no reason given" : result.error().description;
        Log::line("[Zelvorn] " + name + ": reopen failed — " + reason + ".");
      });
}

}  // namespace zelvorn
