// Launch services on Linux: installed applications are desktop entries (bundle identifier = the
// desktop-file id, bundle path = the entry's path), bookmarks remember both, icons come from the
// icon theme, and opening an application runs its Exec line directly (never through a shell).
// The completion arrives on the main loop once the new process manages a window, or after a bound.
#pragma once

#include <map>
#include <memory>

#include "Linux/DesktopEntryIndex.h"
#include "Linux/X11Clients.h"
#include "Linux/X11Connection.h"
#include "Platform/ILaunchServices.h"
#include "Platform/IRunningApps.h"

namespace zelvorn {

class X11LaunchServices final : public ILaunchServices {
 public:
  // How long a launch may take to show its first window before it completes without one.
  static constexpr Seconds kWindowBound = 10.0;

  X11LaunchServices(X11Connection& x, X11Clients& clients, IRunningApps& apps,
                    DesktopEntryIndex& entries);
  ~X11LaunchServices() override;

  std::string_view applicationExtension() const override { return "desktop"; }
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
  struct Launch {
    Pid pid = 0;
    int pidFd = -1;
    std::optional<std::string> windowClass;  // StartupWMClass of the entry
    std::function<void(Result<RunningApp>)> completion;
    TaskHandle bound;
    Subscription exitWatch;
    bool completed = false;
  };
  void complete(std::uint64_t id, Result<RunningApp> result);
  // Follows a process so that its exit is noticed (and reaped); answers its entry's id.
  std::uint64_t follow(Pid pid);
  // Follows a process nobody waits for (a helper, a further document's process) only to reap it.
  void reapWhenDone(Pid pid);
  void onExit(std::uint64_t id);
  bool runHelper(const std::vector<std::string>& argv);
  void failSoon(std::function<void(Result<RunningApp>)> completion, Error error);

  X11Connection& x_;
  X11Clients& clients_;
  IRunningApps& apps_;
  DesktopEntryIndex& entries_;
  std::map<std::uint64_t, Launch> launches_;
  std::uint64_t nextId_ = 1;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  Subscription changes_;
};

// Starts `argv` as a new process without a shell; its pid, or the errno of the failure.
Result<Pid> spawnProcess(const std::vector<std::string>& argv);

}  // namespace zelvorn
