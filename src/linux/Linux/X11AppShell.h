// The program as a process on a Linux desktop: runs the main loop, delivers launch and quit to
// the application delegate, and turns SIGTERM, SIGINT and SIGHUP into an orderly quit (so what the
// program took from other applications is given back). It draws nothing of its own yet.
#pragma once

#include "Linux/PosixMainLoop.h"
#include "Platform/IAppShell.h"

namespace zelvorn {

class X11AppShell final : public IAppShell {
 public:
  explicit X11AppShell(PosixMainLoop& loop) : loop_(loop) {}
  ~X11AppShell() override;

  // Runs until terminate() or a quit signal; returns after the will-terminate callback ran.
  void run(AppCallbacks callbacks) override;
  void setActivationPolicyAccessory() override {}
  void setAppearance(Appearance) override {}
  void setMainMenu(const MenuModel&) override {}
  void terminate() override;
  // Links from another invocation, delivered like the system's open-links event.
  void openURLs(const std::vector<std::string>& urls);

 private:
  PosixMainLoop& loop_;
  AppCallbacks callbacks_;
  int signalFd_ = -1;
  Subscription signalWatch_;
  bool terminating_ = false;
};

}  // namespace zelvorn
