// Identities are cached per process (a process keeps its entry for life) and dropped when its
// last window goes, so a reused pid is matched afresh.
#include "Linux/X11RunningApps.h"

#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace zelvorn {

X11RunningApps::X11RunningApps(X11Connection& x, X11Clients& clients, X11Accessibility& ax,
                               DesktopEntryIndex& entries)
    : x_(x), clients_(clients), ax_(ax), entries_(entries) {
  changes_ = clients_.onChange([this](const X11ClientChange& c) {
    if (c.kind == X11ClientChange::Kind::removed && clients_.windowsOf(c.pid).empty())
      identities_.erase(c.pid);
  });
}

X11RunningApps::~X11RunningApps() {
  *alive_ = false;
}

std::optional<WallTime> X11RunningApps::launchDate(Pid pid) {
  if (pid <= 0) return std::nullopt;
  std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(statFile, stat)) return std::nullopt;
  // The command name (field 2) may hold spaces and parentheses; fields restart after the last ')'.
  auto close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream rest(stat.substr(close + 2));
  std::string field;
  unsigned long long startTicks = 0;
  for (int i = 3; i <= 22 && rest >> field; ++i)
    if (i == 22) startTicks = std::stoull(field);
  std::ifstream procStat("/proc/stat");
  std::string line;
  double bootTime = -1;
  while (std::getline(procStat, line))
    if (line.rfind("btime ", 0) == 0) bootTime = std::stod(line.substr(6));
  long ticks = sysconf(_SC_CLK_TCK);
  if (bootTime < 0 || ticks <= 0 || startTicks == 0) return std::nullopt;
  return WallTime{bootTime + static_cast<double>(startTicks) / static_cast<double>(ticks)};
}

bool X11RunningApps::isAlive(Pid pid) {
  if (pid <= 0) return false;
  std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(statFile, stat)) return false;
  // A process that exited but was not reaped yet ("Z") is gone for every purpose here.
  auto close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z' &&
         stat[close + 2] != 'X';
}

std::optional<std::string> X11RunningApps::executableName(Pid pid) {
  if (pid <= 0) return std::nullopt;
  std::error_code ec;
  char buf[4096];
  ssize_t n = readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), buf, sizeof buf - 1);
  if (n > 0) {
    std::string path(buf, static_cast<std::size_t>(n));
    if (path.ends_with(" (deleted)")) path.resize(path.size() - 10);
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  if (std::getline(comm, name) && !name.empty()) return name;
  return std::nullopt;
}

const X11RunningApps::Identity& X11RunningApps::identity(Pid pid) {
  if (auto it = identities_.find(pid); it != identities_.end()) return it->second;
  Identity id;
  std::string className, instanceName;
  auto windows = clients_.windowsOf(pid);
  if (!windows.empty()) {
    auto f = x_.facts(windows.front());
    className = f.className;
    instanceName = f.instanceName;
  }
  auto exe = executableName(pid);
  if (auto e = entries_.match(className, instanceName, exe.value_or(""))) {
    id.bundleIdentifier = e->id;
    id.name = e->name;
    id.bundlePath = e->path;
  } else if (!className.empty()) {
    id.name = className;
  } else {
    id.name = exe;
  }
  id.launchDate = launchDate(pid);
  return identities_[pid] = std::move(id);
}

RunningApp X11RunningApps::snapshot(Pid pid) {
  const Identity& id = identity(pid);
  RunningApp app;
  app.pid = pid;
  app.bundleIdentifier = id.bundleIdentifier;
  app.localizedName = id.name;
  app.bundlePath = id.bundlePath;
  app.launchDate = id.launchDate;
  // Hidden when every window is iconic; parked windows do not count either way.
  std::vector<xcb_window_t> shown;
  for (auto w : clients_.windowsOf(pid))
    if (!ax_.parkedAt(w)) shown.push_back(w);
  app.isHidden = !shown.empty() && std::all_of(shown.begin(), shown.end(),
                                               [&](xcb_window_t w) { return x_.isIconic(w); });
  return app;
}

std::vector<RunningApp> X11RunningApps::all() {
  std::vector<RunningApp> out;
  for (Pid pid : clients_.pids())
    if (pid != 0) out.push_back(snapshot(pid));
  return out;
}

std::vector<RunningApp> X11RunningApps::withBundleIdentifier(std::string_view bundleIdentifier) {
  std::vector<RunningApp> out;
  for (auto& app : all())
    if (app.bundleIdentifier == bundleIdentifier) out.push_back(std::move(app));
  return out;
}

std::optional<RunningApp> X11RunningApps::byPid(Pid pid) {
  if (pid == 0) return std::nullopt;
  bool hasWindows = !clients_.windowsOf(pid).empty();
  // A local process that shows no window yet (just launched) is still running.
  if (!hasWindows && !isAlive(pid)) return std::nullopt;
  return snapshot(pid);
}

std::optional<RunningApp> X11RunningApps::frontmost() {
  auto pid = clients_.pidOfWindow(clients_.active());
  if (!pid) return std::nullopt;
  return snapshot(*pid);
}

Pid X11RunningApps::ownPid() {
  return static_cast<Pid>(getpid());
}

bool X11RunningApps::hide(Pid pid) {
  auto windows = clients_.windowsOf(pid);
  if (windows.empty()) return false;
  for (auto w : windows)
    ax_.setAttribute(X11Accessibility::windowElement(w), "AXMinimized", true);
  return true;
}

bool X11RunningApps::unhide(Pid pid) {
  auto windows = clients_.windowsOf(pid);
  if (windows.empty()) return false;
  // Parked windows stay parked.
  for (auto w : windows)
    if (!ax_.parkedAt(w))
      ax_.setAttribute(X11Accessibility::windowElement(w), "AXMinimized", false);
  return true;
}

bool X11RunningApps::activate(Pid pid, ActivateOptions) {
  auto front = clients_.windowsOfFrontToBack(pid);
  if (front.empty()) return false;
  // Its front window that is not parked: activating an application does not bring a parked
  // window back.
  for (auto w : front)
    if (!ax_.parkedAt(w)) {
      ax_.requestActivation(w);
      break;
    }
  return true;
}

bool X11RunningApps::terminate(Pid pid) {
  auto windows = clients_.windowsOf(pid);
  if (windows.empty() && !isAlive(pid)) return false;
  for (auto w : windows)
    xcb_ewmh_request_close_window(x_.ewmh(), x_.screenNumber(), w, XCB_CURRENT_TIME,
                                  XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  x_.flush();
  // Only a real local process gets a signal; a stand-in id (no pid known) never does, and the
  // process must still be the one that was asked: same start time, so a reused pid is spared.
  if (pid > 0 && pid != getpid()) {
    auto started = launchDate(pid);
    std::weak_ptr<bool> alive = alive_;
    x_.loop().postAfter(kTerminateGrace, [pid, started, alive] {
      if (auto a = alive.lock(); !a || !*a) return;
      if (started && launchDate(pid) == started) kill(pid, SIGTERM);
    });
  }
  return true;
}

}  // namespace zelvorn
