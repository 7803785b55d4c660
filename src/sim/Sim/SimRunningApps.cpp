#include "Sim/SimRunningApps.h"

#include "Sim/SimDesktop.h"

namespace zelvorn {

void SimRunningApps::record(std::string_view name, Pid pid) {
  desktop_.recorder_.record(
      {SimCallKind::app, std::string(name), 0, pid, {}, kAXErrorSuccess, desktop_.loop_.now()});
}

std::vector<RunningApp> SimRunningApps::all() {
  record("all", 0);
  std::vector<RunningApp> out;
  for (Pid pid : desktop_.pidsInOrder())
    out.push_back(desktop_.snapshot(*desktop_.process(pid)));
  return out;
}

std::vector<RunningApp> SimRunningApps::withBundleIdentifier(std::string_view bundleIdentifier) {
  record("withBundleIdentifier", 0);
  std::vector<RunningApp> out;
  for (Pid pid : desktop_.pidsInOrder()) {
    const auto& facts = desktop_.process(pid)->facts;
    if (facts.bundleIdentifier == bundleIdentifier) out.push_back(facts);
  }
  return out;
}

std::optional<RunningApp> SimRunningApps::byPid(Pid pid) {
  record("byPid", pid);
  return desktop_.app(pid);
}

std::optional<RunningApp> SimRunningApps::frontmost() {
  record("frontmost", 0);
  if (!desktop_.frontmost_) return std::nullopt;
  return desktop_.app(*desktop_.frontmost_);
}

Pid SimRunningApps::ownPid() {
  return desktop_.ownPid_;
}

bool SimRunningApps::hide(Pid pid) {
  record("hide", pid);
  if (!desktop_.app(pid) || pid == desktop_.ownPid_) return false;
  desktop_.hide(pid);
  return true;
}

bool SimRunningApps::unhide(Pid pid) {
  record("unhide", pid);
  return desktop_.unhide(pid);
}

bool SimRunningApps::activate(Pid pid, ActivateOptions) {
  record("activate", pid);
  if (!desktop_.app(pid)) return false;
  desktop_.activate(pid);
  return true;
}

bool SimRunningApps::terminate(Pid pid) {
  record("terminate", pid);
  auto* proc = desktop_.process(pid);
  if (!proc || !proc->running || pid == desktop_.ownPid_) return false;
  if (!proc->quitsOnRequest) return true;
  std::weak_ptr<bool> alive = desktop_.alive_;
  Seconds delay = desktop_.bundles_[proc->bundle].desc.terminateDelay;
  SimDesktop* d = &desktop_;
  desktop_.loop_.postAfter(delay, [d, alive, pid] {
    if (alive.lock()) d->endProcess(pid);
  });
  return true;
}

}  // namespace zelvorn
