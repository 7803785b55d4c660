// Launch services of the simulated desktop: bundles on its disk, bookmarks that follow a moved
// bundle, icons, and launches that start a process after the bundle's delay and answer on the
// main loop. Every call is recorded.
#pragma once

#include "Platform/ILaunchServices.h"

namespace zelvorn {

class SimDesktop;

class SimLaunchServices final : public ILaunchServices {
 public:
  explicit SimLaunchServices(SimDesktop& desktop) : desktop_(desktop) {}

  std::string_view applicationExtension() const override { return "app"; }
  std::optional<std::string> applicationPath(std::string_view bundleIdentifier) override;
  std::optional<BundleInfo> readBundle(std::string_view bundlePath) override;
  std::optional<Bytes> makeBookmark(std::string_view path) override;
  std::optional<std::string> resolveBookmark(const Bytes& bookmark) override;
  std::optional<Bytes> iconPNG(std::string_view path, int sidePixels) override;
  void openApplication(std::string_view appPath, const std::vector<std::string>& documents,
                       bool activates, std::function<void(Result<RunningApp>)> completion) override;
  bool openURL(std::string_view url) override;
  void revealInFileBrowser(std::string_view path) override;

 private:
  void record(std::string_view name, std::string_view argument);
  SimDesktop& desktop_;
};

}  // namespace zelvorn
