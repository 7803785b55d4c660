// Quit signals are blocked and read from a signalfd on the loop, so the will-terminate callback
// runs on the main thread like every other callback.
#include "Linux/X11AppShell.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace zelvorn {

X11AppShell::~X11AppShell() {
  signalWatch_.reset();
  if (signalFd_ >= 0) close(signalFd_);
}

void X11AppShell::run(AppCallbacks callbacks) {
  callbacks_ = std::move(callbacks);
  sigset_t quit;
  sigemptyset(&quit);
  sigaddset(&quit, SIGTERM);
  sigaddset(&quit, SIGINT);
  sigaddset(&quit, SIGHUP);
  sigprocmask(SIG_BLOCK, &quit, nullptr);
  signalFd_ = signalfd(-1, &quit, SFD_CLOEXEC | SFD_NONBLOCK);
  if (signalFd_ >= 0)
    signalWatch_ = loop_.watchReadable(signalFd_, [this] {
      signalfd_siginfo info{};
      while (read(signalFd_, &info, sizeof info) == sizeof info) {
      }
      terminate();
    });
  loop_.post([this] {
    if (callbacks_.didFinishLaunching) callbacks_.didFinishLaunching();
  });
  loop_.run();
}

void X11AppShell::terminate() {
  if (terminating_) return;
  terminating_ = true;
  if (callbacks_.willTerminate) callbacks_.willTerminate();
  loop_.quit();
}

void X11AppShell::openURLs(const std::vector<std::string>& urls) {
  if (callbacks_.openURLs) callbacks_.openURLs(urls);
}

}  // namespace zelvorn
