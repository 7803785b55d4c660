// The running applications as the system lists them, and the requests the program makes of them:
// hide, unhide, activate and a polite terminate. Requests are synchronous; their effects and the
// notifications they cause (ISystemEvents) may come later.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "Platform/RunningApp.h"
#include "Platform/Types.h"

namespace zelvorn {

// Newer systems take no options; older ones need "ignoring other apps" to take focus.
enum class ActivateOptions { none, ignoringOtherApps };

class IRunningApps {
 public:
  virtual ~IRunningApps() = default;

  // In the system's order.
  virtual std::vector<RunningApp> all() = 0;
  virtual std::vector<RunningApp> withBundleIdentifier(std::string_view bundleIdentifier) = 0;
  virtual std::optional<RunningApp> byPid(Pid pid) = 0;
  virtual std::optional<RunningApp> frontmost() = 0;
  // This program's own process.
  virtual Pid ownPid() = 0;

  // Each answers whether the request was accepted, not whether it took effect.
  virtual bool hide(Pid pid) = 0;
  virtual bool unhide(Pid pid) = 0;
  virtual bool activate(Pid pid, ActivateOptions options) = 0;
  virtual bool terminate(Pid pid) = 0;
};

}  // namespace zelvorn
