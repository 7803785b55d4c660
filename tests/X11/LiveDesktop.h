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

#include "Linux/PosixMainLoop.h"
#include "Linux/X11Accessibility.h"
#include "Linux/X11Clients.h"
#include "Linux/X11Connection.h"
#include "Linux/X11WindowList.h"

extern char** environ;

namespace zelvorn {

class LiveDesktop {
 public:
  // None when no X server with a window manager answers (the test then skips).
  static LiveDesktop* shared() {
    static std::unique_ptr<LiveDesktop> desktop = [] {
      std::unique_ptr<LiveDesktop> d(new LiveDesktop);
      d->x = X11Connection::open(d->loop);
      if (!d->x || !d->x->supportingWMCheck()) return std::unique_ptr<LiveDesktop>();
      d->clients = std::make_unique<X11Clients>(*d->x);
      d->ax = std::make_unique<X11Accessibility>(*d->x, *d->clients);
      d->windowList = std::make_unique<X11WindowList>(*d->x, *d->clients);
      return d;
    }();
    return desktop.get();
  }

  ~LiveDesktop() {
    for (pid_t p : started_) {
      kill(p, SIGTERM);
      waitpid(p, nullptr, 0);
    }
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
  std::unique_ptr<X11Connection> x;
  std::unique_ptr<X11Clients> clients;
  std::unique_ptr<X11Accessibility> ax;
  std::unique_ptr<X11WindowList> windowList;

 private:
  LiveDesktop() = default;
  std::vector<pid_t> started_;
};

#define ZELVORN_REQUIRE_DESKTOP(d)        \
  LiveDesktop* d = LiveDesktop::shared(); \
  if (!d) GTEST_SKIP() << "no X display with a window manager to test on"

}  // namespace zelvorn
