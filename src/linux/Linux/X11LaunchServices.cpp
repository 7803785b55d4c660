// Launched processes are watched through a pidfd on the main loop: an exit before any window
// fails the launch with its status, and the exit is reaped so no zombie is left behind.
#include "Linux/X11LaunchServices.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "Linux/PngIcon.h"

extern char** environ;

namespace zelvorn {

namespace {

constexpr std::string_view kBookmarkMagic = "zelvorn-desktop-entry\n";

int openPidFd(Pid pid) {
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

}  // namespace

Result<Pid> spawnProcess(const std::vector<std::string>& argv) {
  if (argv.empty() || argv.front().empty()) return Error{EINVAL, std::strerror(EINVAL)};
  std::vector<char*> args;
  for (const auto& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // The child starts its own process group, so a terminal signal to this program spares it.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
  posix_spawnattr_setpgroup(&attr, 0);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, args[0], nullptr, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return Error{rc, std::strerror(rc)};
  return static_cast<Pid>(pid);
}

X11LaunchServices::X11LaunchServices(X11Connection& x, X11Clients& clients, IRunningApps& apps,
                                     DesktopEntryIndex& entries)
    : x_(x), clients_(clients), apps_(apps), entries_(entries) {
  changes_ = clients_.onChange([this](const X11ClientChange& c) {
    if (c.kind != X11ClientChange::Kind::added) return;
    std::optional<std::string> cls;
    for (auto& [id, l] : launches_) {
      if (l.completed) continue;
      bool ours = l.pid == c.pid;
      // A launcher that hands over to another process: the entry's window class identifies it.
      if (!ours && l.windowClass) {
        if (!cls) cls = x_.facts(c.window).className;
        ours = *cls == *l.windowClass;
      }
      if (!ours) continue;
      auto app = apps_.byPid(c.pid);
      if (!app) continue;
      std::uint64_t launchId = id;
      std::weak_ptr<bool> alive = alive_;
      RunningApp snapshot = *app;
      x_.loop().post([this, alive, launchId, snapshot] {
        if (auto a = alive.lock(); a && *a) complete(launchId, snapshot);
      });
      l.completed = true;  // further windows of it change nothing
      l.bound.cancel();
    }
  });
}

X11LaunchServices::~X11LaunchServices() {
  *alive_ = false;
  for (auto& [id, l] : launches_) {
    l.exitWatch.reset();
    if (l.pidFd >= 0) close(l.pidFd);
  }
}

std::optional<std::string> X11LaunchServices::applicationPath(std::string_view bundleIdentifier) {
  auto e = entries_.byId(bundleIdentifier);
  if (!e) {
    entries_.rescan();  // installed since the last look
    e = entries_.byId(bundleIdentifier);
  }
  if (!e) return std::nullopt;
  return e->path;
}

std::optional<BundleInfo> X11LaunchServices::readBundle(std::string_view bundlePath) {
  std::string path(bundlePath);
  std::string id =
      entries_.idOfPath(path).value_or(std::filesystem::path(path).filename().string());
  auto e = DesktopEntry::load(path, id);
  if (!e || e->type != "Application" || e->hidden) return std::nullopt;
  BundleInfo info;
  info.identifier = e->id;
  info.displayName = e->name;
  info.name = e->name;
  return info;
}

std::optional<Bytes> X11LaunchServices::makeBookmark(std::string_view path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return std::nullopt;
  std::string id = entries_.idOfPath(path).value_or("");
  std::string text = std::string(kBookmarkMagic) + id + "\n" + std::string(path);
  return Bytes(text.begin(), text.end());
}

std::optional<std::string> X11LaunchServices::resolveBookmark(const Bytes& bookmark) {
  std::string text(bookmark.begin(), bookmark.end());
  if (text.rfind(kBookmarkMagic, 0) != 0) return std::nullopt;
  text = text.substr(kBookmarkMagic.size());
  auto nl = text.find('\n');
  if (nl == std::string::npos) return std::nullopt;
  std::string id = text.substr(0, nl), path = text.substr(nl + 1);
  std::error_code ec;
  if (std::filesystem::exists(path, ec) || id.empty()) return path;
  // The entry moved (another data folder now provides it): follow its id.
  if (auto moved = applicationPath(id)) return moved;
  return path;
}

std::optional<Bytes> X11LaunchServices::iconPNG(std::string_view path, int sidePixels) {
  auto e = DesktopEntry::load(std::string(path), "");
  if (!e || !e->icon) return std::nullopt;
  auto file = PngIcon::find(*e->icon, entries_.dataDirs());
  if (!file) return std::nullopt;
  return PngIcon::render(*file, sidePixels);
}

void X11LaunchServices::failSoon(std::function<void(Result<RunningApp>)> completion, Error error) {
  std::weak_ptr<bool> alive = alive_;
  x_.loop().post([alive, completion = std::move(completion), error] {
    if (auto a = alive.lock(); a && *a && completion) completion(error);
  });
}

void X11LaunchServices::openApplication(std::string_view appPath,
                                        const std::vector<std::string>& documents, bool,
                                        std::function<void(Result<RunningApp>)> completion) {
  std::string path(appPath);
  auto entry = DesktopEntry::load(path, entries_.idOfPath(path).value_or(""));
  if (!entry || entry->type != "Application") {
    failSoon(std::move(completion), Error{ENOENT, "The application could not be found."});
    return;
  }
  auto lines = entry->commandLines(documents);
  if (!lines) {
    failSoon(std::move(completion), Error{EINVAL, "The application's command line is invalid."});
    return;
  }
  auto pid = spawnProcess(lines->front());
  if (!pid) {
    failSoon(std::move(completion), pid.error());
    return;
  }
  // An entry that opens one document per process gets one process for each further document;
  // the first one's launch is the one reported, the others are only reaped.
  for (std::size_t i = 1; i < lines->size(); ++i)
    if (auto more = spawnProcess((*lines)[i])) reapWhenDone(more.value());
  std::uint64_t id = follow(pid.value());
  Launch& l = launches_[id];
  l.windowClass = entry->startupWMClass;
  l.completion = std::move(completion);
  std::weak_ptr<bool> alive = alive_;
  l.bound = x_.loop().postAfter(kWindowBound, [this, alive, id] {
    if (auto a = alive.lock(); !a || !*a) return;
    auto it = launches_.find(id);
    if (it == launches_.end() || it->second.completed) return;
    // Still running without a window (a tray program, a slow start): it launched all the same.
    if (auto app = apps_.byPid(it->second.pid)) {
      it->second.completed = true;
      complete(id, *app);
    }
  });
}

std::uint64_t X11LaunchServices::follow(Pid pid) {
  std::uint64_t id = nextId_++;
  Launch& l = launches_[id];
  l.pid = pid;
  l.pidFd = openPidFd(pid);
  std::weak_ptr<bool> alive = alive_;
  if (l.pidFd >= 0)
    l.exitWatch = x_.loop().watchReadable(l.pidFd, [this, alive, id] {
      if (auto a = alive.lock(); a && *a) onExit(id);
    });
  return id;
}

void X11LaunchServices::reapWhenDone(Pid pid) {
  std::uint64_t id = follow(pid);
  Launch& l = launches_[id];
  l.completed = true;
  if (l.pidFd < 0) launches_.erase(id);
}

void X11LaunchServices::complete(std::uint64_t id, Result<RunningApp> result) {
  auto it = launches_.find(id);
  if (it == launches_.end()) return;
  auto completion = std::move(it->second.completion);
  it->second.completion = nullptr;
  // The exit watch stays until the process ends, so it is reaped.
  if (it->second.pidFd < 0) launches_.erase(it);
  if (completion) completion(std::move(result));
}

void X11LaunchServices::onExit(std::uint64_t id) {
  auto it = launches_.find(id);
  if (it == launches_.end()) return;
  int status = 0;
  pid_t reaped = waitpid(it->second.pid, &status, WNOHANG);
  if (reaped == 0) return;  // not exited after all
  Launch l = std::move(it->second);
  launches_.erase(it);
  l.exitWatch.reset();
  close(l.pidFd);
  l.bound.cancel();
  if (!l.completion) return;
  std::string why = reaped > 0 && WIFEXITED(status)
                        ? "It exited with status " + std::to_string(WEXITSTATUS(status)) +
                              " before showing a window."
                        : "It ended before showing a window.";
  // A launcher that handed over to another process exits 0; its window may still come.
  if (reaped > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && l.windowClass) {
    std::uint64_t again = nextId_++;
    Launch& wait = launches_[again];
    wait.windowClass = l.windowClass;
    wait.completion = std::move(l.completion);
    std::weak_ptr<bool> alive = alive_;
    wait.bound = x_.loop().postAfter(kWindowBound, [this, alive, again] {
      if (auto a = alive.lock(); !a || !*a) return;
      complete(again, Error{ECHILD, "The application did not show a window."});
    });
    return;
  }
  l.completion(Error{ECHILD, why});
}

bool X11LaunchServices::runHelper(const std::vector<std::string>& argv) {
  auto pid = spawnProcess(argv);
  if (!pid) return false;
  // Nobody waits for a helper's answer, but its exit is still reaped.
  reapWhenDone(pid.value());
  return true;
}

bool X11LaunchServices::openURL(std::string_view url) {
  if (url.empty()) return false;
  return runHelper({"xdg-open", std::string(url)});
}

void X11LaunchServices::revealInFileBrowser(std::string_view path) {
  std::filesystem::path p(path);
  std::error_code ec;
  std::string folder = std::filesystem::is_directory(p, ec) ? p.string() : p.parent_path().string();
  if (!folder.empty()) runHelper({"xdg-open", folder});
}

}  // namespace zelvorn
