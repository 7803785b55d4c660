// The real desktop on Linux: one X connection watched by the main loop and every platform service
// built over it. The executable and the end-to-end tests create one and hand its parts to the core.
#pragma once

#include <memory>

#include "Linux/DesktopEntryIndex.h"
#include "Linux/PosixMainLoop.h"
#include "Linux/X11Accessibility.h"
#include "Linux/X11Clients.h"
#include "Linux/X11Connection.h"
#include "Linux/X11Displays.h"
#include "Linux/X11LaunchServices.h"
#include "Linux/X11RunningApps.h"
#include "Linux/X11SystemEvents.h"
#include "Linux/X11WindowList.h"

namespace zelvorn {

class LinuxDesktop {
 public:
  // None when no X server answers at `displayName` (null: $DISPLAY) or no EWMH window manager
  // manages its screen.
  static std::unique_ptr<LinuxDesktop> open(PosixMainLoop& loop, const char* displayName = nullptr);

  PosixMainLoop& loop() { return loop_; }
  X11Connection& connection() { return *x_; }
  X11Clients& clients() { return *clients_; }
  DesktopEntryIndex& entries() { return *entries_; }
  X11Accessibility& accessibility() { return *ax_; }
  X11WindowList& windowList() { return *windowList_; }
  X11RunningApps& runningApps() { return *apps_; }
  X11LaunchServices& launchServices() { return *launch_; }
  X11SystemEvents& systemEvents() { return *events_; }
  X11Displays& displays() { return *displays_; }

 private:
  explicit LinuxDesktop(PosixMainLoop& loop) : loop_(loop) {}

  PosixMainLoop& loop_;
  // Declared in dependency order, so they are destroyed users first.
  std::unique_ptr<X11Connection> x_;
  std::unique_ptr<X11Clients> clients_;
  std::unique_ptr<DesktopEntryIndex> entries_;
  std::unique_ptr<X11Accessibility> ax_;
  std::unique_ptr<X11WindowList> windowList_;
  std::unique_ptr<X11RunningApps> apps_;
  std::unique_ptr<X11LaunchServices> launch_;
  std::unique_ptr<X11SystemEvents> events_;
  std::unique_ptr<X11Displays> displays_;
};

}  // namespace zelvorn
