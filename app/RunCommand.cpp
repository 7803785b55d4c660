// The live program: the application delegate on the X11 backend, with its files in the XDG
// folders, workspace links shown through the session controller, and the link socket. Alerts have
// no window to appear in yet; they are logged and answered with their default button.
#include "RunCommand.h"

#include <spawn.h>
#include <unistd.h>

#include <iostream>
#include <memory>

#include "App/AppDelegate.h"
#include "App/Log.h"
#include "App/ZelvornURL.h"
#include "Core/WorkspaceManager.h"
#include "Linux/LinkSocket.h"
#include "Linux/LinuxDesktop.h"
#include "Linux/X11AppShell.h"
#include "Platform/IModalUI.h"
#include "Posix/JsonFileKeyValueStore.h"
#include "Posix/PosixEnvironment.h"
#include "Posix/PosixFileSystem.h"
#include "Posix/StderrConsole.h"
#include "Posix/XdgLoginItemService.h"

extern char** environ;

namespace zelvorn {

namespace {

class LoggedAlerts final : public IModalUI {
 public:
  AlertResponse runAlert(const AlertSpec& alert) override {
    Log::line("[Zelvorn] Alert: " + alert.messageText + " — " + alert.informativeText);
    return {};
  }
  void activateProgram() override {}
  bool isProgramActiveWithKeyWindow() override { return false; }
};

std::string ownExecutable() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string("zelvorn");
}

std::optional<std::string> socketPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return LinkSocket::defaultPath(runtime ? std::optional<std::string>(runtime) : std::nullopt);
}

}  // namespace

int runOnX11(const std::vector<std::string>& urls) {
  auto path = socketPath();
  if (path && LinkSocket::send(*path, urls)) return 0;  // an instance runs: it takes the links

  PosixMainLoop loop;
  auto desktop = LinuxDesktop::open(loop);
  if (!desktop) {
    std::cerr << "zelvorn run: no X display with an EWMH window manager (is DISPLAY set?)\n";
    return 1;
  }
  StderrConsole console;
  PosixFileSystem files;
  PosixEnvironment environment;
  Log::configure(LogSinks{&console, &files, &environment, [&] { return loop.wallNow(); }});
  JsonFileKeyValueStore defaults(files, environment.settingsFile(),
                                 [](const std::string& sentence) { Log::line(sentence); });
  XdgLoginItemService loginItems(files, environment.autostartDirectory(), ownExecutable());
  X11AppShell shell(loop);
  LoggedAlerts alerts;
  AppDelegate delegate(AppPlatform{loop, shell, defaults, files, environment, loginItems,
                                   desktop->accessibility(), desktop->launchServices(),
                                   desktop->windowList(), desktop->runningApps(),
                                   desktop->displays(), alerts});

  std::unique_ptr<LinkSocket> links;
  if (path) {
    auto listening = LinkSocket::listen(
        loop, *path, [&](const std::vector<std::string>& u) { shell.openURLs(u); });
    if (listening.ok())
      links = std::move(listening).value();
    else
      Log::line("[Zelvorn] Links from other invocations are off: " + listening.error().description);
  }
  // The X server went away (the session ended): quit in order, as on SIGTERM.
  desktop->connection().setOnLost([&] {
    Log::line("[Zelvorn] Lost the connection to the X server — quitting.");
    shell.terminate();
  });
  if (!urls.empty()) loop.post([&] { shell.openURLs(urls); });
  shell.run(delegate.callbacks());
  Log::configure({});
  return 0;
}

bool instanceRunning() {
  auto path = socketPath();
  return path && LinkSocket::send(*path, {});
}

int openLinks(const std::vector<std::string>& urls) {
  auto path = socketPath();
  if (path && LinkSocket::send(*path, urls)) return 0;
  // Nobody listens: start an instance (in its own session, so it outlives this command) and let it
  // route the links once it has launched.
  std::string self = ownExecutable();
  std::vector<std::string> argv{self, "run"};
  argv.insert(argv.end(), urls.begin(), urls.end());
  std::vector<char*> args;
  for (auto& a : argv)
    args.push_back(a.data());
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, self.c_str(), nullptr, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    std::cerr << "zelvorn open: cannot start Zelvorn\n";
    return 1;
  }
  return 0;
}

}  // namespace zelvorn
