// Applications as things on disk: where a bundle identifier is installed, what a bundle declares,
// bookmarks that follow a moved bundle, icons, and launching applications or opening documents
// with them. Launch completions always arrive on the main loop.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Result.h"
#include "Platform/RunningApp.h"
#include "Platform/Types.h"

namespace zelvorn {

// What a bundle's information dictionary declares ("CFBundleIdentifier", "CFBundleDisplayName",
// "CFBundleName").
struct BundleInfo {
  std::optional<std::string> identifier;
  std::optional<std::string> displayName;
  std::optional<std::string> name;
  bool operator==(const BundleInfo&) const = default;
};

class ILaunchServices {
 public:
  virtual ~ILaunchServices() = default;

  // The file-name extension, lower case and without the dot, that marks an application on this
  // system ("app" for bundles, "desktop" for desktop entries).
  virtual std::string_view applicationExtension() const = 0;
  virtual std::optional<std::string> applicationPath(std::string_view bundleIdentifier) = 0;
  // None when nothing at the path opens as a bundle.
  virtual std::optional<BundleInfo> readBundle(std::string_view bundlePath) = 0;
  virtual std::optional<Bytes> makeBookmark(std::string_view path) = 0;
  // Where the bookmarked item is now; the item may no longer exist there.
  virtual std::optional<std::string> resolveBookmark(const Bytes& bookmark) = 0;
  // The file's icon drawn into a square bitmap of `sidePixels`, as PNG data.
  virtual std::optional<Bytes> iconPNG(std::string_view path, int sidePixels) = 0;

  // Opens the application at `appPath`, with the documents when there are any. `activates` false
  // keeps it from taking focus. The completion gets the running application or the system's error.
  virtual void openApplication(std::string_view appPath, const std::vector<std::string>& documents,
                               bool activates,
                               std::function<void(Result<RunningApp>)> completion) = 0;
  // Hands a URL to the system (settings panes, mail links, web pages).
  virtual bool openURL(std::string_view url) = 0;
  virtual void revealInFileBrowser(std::string_view path) = 0;
};

}  // namespace zelvorn
