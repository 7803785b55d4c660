// The running applications on an X11 desktop: the processes owning managed windows, each matched
// to its desktop entry (which gives it a bundle identifier, name and path). Hiding an application
// iconifies its windows, unhiding restores them, activating activates its front window, and a
// polite terminate asks each window to close before a SIGTERM follows.
#pragma once

#include <map>
#include <memory>

#include "Linux/DesktopEntryIndex.h"
#include "Linux/X11Accessibility.h"
#include "Linux/X11Clients.h"
#include "Linux/X11Connection.h"
#include "Platform/IRunningApps.h"

namespace zelvorn {

class X11RunningApps final : public IRunningApps {
 public:
  // How long a terminated application has to close its windows before it gets SIGTERM.
  static constexpr Seconds kTerminateGrace = 2.0;

  X11RunningApps(X11Connection& x, X11Clients& clients, X11Accessibility& ax,
                 DesktopEntryIndex& entries);
  ~X11RunningApps() override;

  std::vector<RunningApp> all() override;
  std::vector<RunningApp> withBundleIdentifier(std::string_view bundleIdentifier) override;
  std::optional<RunningApp> byPid(Pid pid) override;
  std::optional<RunningApp> frontmost() override;
  Pid ownPid() override;
  bool hide(Pid pid) override;
  bool unhide(Pid pid) override;
  bool activate(Pid pid, ActivateOptions options) override;
  bool terminate(Pid pid) override;

  // When the process started, from /proc; none for a process that is gone or not local.
  static std::optional<WallTime> launchDate(Pid pid);
  // Whether a local process runs (an exited one waiting to be reaped does not).
  static bool isAlive(Pid pid);
  // The executable's file name, from /proc.
  static std::optional<std::string> executableName(Pid pid);

 private:
  struct Identity {
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> name;
    std::optional<std::string> bundlePath;
    std::optional<WallTime> launchDate;
  };
  RunningApp snapshot(Pid pid);
  const Identity& identity(Pid pid);

  X11Connection& x_;
  X11Clients& clients_;
  X11Accessibility& ax_;
  DesktopEntryIndex& entries_;
  std::map<Pid, Identity> identities_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  Subscription changes_;
};

}  // namespace zelvorn
