// The simulated desktop's running applications: snapshots in launch order, and hide, unhide,
// activate and terminate requests that change the desktop and emit its notifications. Every call
// is recorded.
#pragma once

#include "Platform/IRunningApps.h"

namespace zelvorn {

class SimDesktop;

class SimRunningApps final : public IRunningApps {
 public:
  explicit SimRunningApps(SimDesktop& desktop) : desktop_(desktop) {}

  std::vector<RunningApp> all() override;
  std::vector<RunningApp> withBundleIdentifier(std::string_view bundleIdentifier) override;
  std::optional<RunningApp> byPid(Pid pid) override;
  std::optional<RunningApp> frontmost() override;
  Pid ownPid() override;
  bool hide(Pid pid) override;
  bool unhide(Pid pid) override;
  bool activate(Pid pid, ActivateOptions options) override;
  bool terminate(Pid pid) override;

 private:
  void record(std::string_view name, Pid pid);
  SimDesktop& desktop_;
};

}  // namespace zelvorn
