// What the workspace manager's load-time repairs need from the app registry: finding an
// application bundle again, making a small icon from it, and re-reading an app whose bundle now
// declares a different identifier. The app registry implements it; tests use a double.
#pragma once

#include <optional>
#include <string>

#include "Models/ManagedApp.h"
#include "Platform/Types.h"

namespace zelvorn {

class IAppRepairServices {
 public:
  virtual ~IAppRepairServices() = default;

  // The path a file bookmark points to now, when it still resolves.
  virtual std::optional<std::string> resolveBookmark(const Bytes& bookmark) = 0;
  virtual bool fileExists(const std::string& path) = 0;
  // Where the system finds the application with that bundle identifier.
  virtual std::optional<std::string> applicationPath(const std::string& bundleIdentifier) = 0;
  // A PNG of the application's icon, `side` pixels square.
  virtual std::optional<Bytes> iconPNG(const std::string& appPath, int side) = 0;
  // The same app re-read from its bundle on disk, when that bundle now declares a different
  // bundle identifier; none otherwise.
  virtual std::optional<ManagedApp> migratedForChangedBundleID(const ManagedApp& app) = 0;
};

}  // namespace zelvorn
