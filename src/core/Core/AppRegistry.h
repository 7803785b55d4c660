// What the program knows of other applications as bundles on disk: turning a bundle into a pane's
// app, finding an app's bundle again later, its icon, and noticing a changed bundle identifier.
// Holds no state of its own; the settings, the builder, the session controller and the workspace
// manager's load-time repairs use it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Core/IAppRepairServices.h"
#include "Models/ManagedApp.h"
#include "Platform/IFileSystem.h"
#include "Platform/ILaunchServices.h"
#include "Platform/Result.h"

namespace zelvorn {

class AppRegistry final : public IAppRepairServices {
 public:
  static constexpr int kIconSide = 128;

  struct AppRegistryError {
    enum class Kind { notAnApp, missingBundleIdentifier };
    Kind kind = Kind::notAnApp;
    std::string bundlePath;
    bool operator==(const AppRegistryError&) const = default;
    std::string description() const;
  };

  AppRegistry(ILaunchServices& launchServices, IFileSystem& files)
      : launchServices_(launchServices), files_(files) {}

  Result<ManagedApp, AppRegistryError> makeManagedApp(std::string_view bundlePath);
  static std::string readDisplayName(std::string_view bundlePath, const BundleInfo& bundle);
  std::optional<Bytes> iconPNG(std::string_view path, int side);
  // The bundle of a stored app: its bookmark, else its stored path, else wherever the system finds
  // its bundle identifier.
  std::optional<std::string> resolveURL(const ManagedApp& app);
  bool isInstalled(const ManagedApp& app) { return resolveURL(app).has_value(); }

  // --- Load-time repairs of the workspace manager ---
  std::optional<std::string> resolveBookmark(const Bytes& bookmark) override;
  bool fileExists(const std::string& path) override;
  std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
  std::optional<Bytes> iconPNG(const std::string& appPath, int side) override {
    return iconPNG(std::string_view(appPath), side);
  }
  std::optional<ManagedApp> migratedForChangedBundleID(const ManagedApp& app) override;

 private:
  ILaunchServices& launchServices_;
  IFileSystem& files_;
};

// The last component of a path ("/Applications/Notes.app" → "Notes.app").
std::string lastPathComponent(std::string_view path);

}  // namespace zelvorn
