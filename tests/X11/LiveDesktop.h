// The desktop these tests run against: the X display the harness started (Xvfb with openbox), the
// backend's services over one connection, and real clients started for the tests and stopped at
// the end.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "Accessibility/AXWindowController.h"
#include "Linux/LinuxDesktop.h"
#include "Linux/PosixMainLoop.h"

extern char** environ;

namespace zelvorn {

class LiveDesktop {
 public:
  // None when no X server with a window manager answers (the test then skips).
  static LiveDesktop* shared() {
    static std::unique_ptr<LiveDesktop> live = [] {
      std::unique_ptr<LiveDesktop> d(new LiveDesktop);
      d->desktop = LinuxDesktop::open(d->loop);
      if (!d->desktop) return std::unique_ptr<LiveDesktop>();
      d->x = &d->desktop->connection();
      d->clients = &d->desktop->clients();
      d->ax = &d->desktop->accessibility();
      d->windowList = &d->desktop->windowList();
      return d;
    }();
    return live.get();
  }

  ~LiveDesktop() {
    for (pid_t p : started_) {
      kill(p, SIGTERM);
      waitpid(p, nullptr, 0);
    }
  }

  AXWindowController controller() {
    return AXWindowController(*ax, *windowList, desktop->displays());
  }

  // Starts a client (never through a shell) and waits until the window manager manages a window
  // of it; answers its pid, or 0 when it did not show a window within five seconds.
  Pid start(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (auto& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return 0;
    started_.push_back(pid);
    bool shown = loop.runUntil([&] { return !clients->windowsOf(pid).empty(); }, 5.0);
    return shown ? pid : 0;
  }

  void stop(Pid pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::erase(started_, pid);
  }

  xcb_window_t firstWindow(Pid pid) {
    auto w = clients->windowsOf(pid);
    return w.empty() ? 0 : w.front();
  }

  PosixMainLoop loop;
  std::unique_ptr<LinuxDesktop> desktop;
  X11Connection* x = nullptr;
  X11Clients* clients = nullptr;
  X11Accessibility* ax = nullptr;
  X11WindowList* windowList = nullptr;

 private:
  LiveDesktop() = default;
  std::vector<pid_t> started_;
};

#define ZELVORN_REQUIRE_DESKTOP(d)        \
  LiveDesktop* d = LiveDesktop::shared(); \
  if (!d) GTEST_SKIP() << "no X display with a window manager to test on"

}  // namespace zelvorn
