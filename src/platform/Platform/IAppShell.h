// The application itself as the system sees it: its lifecycle callbacks (launch finished, links
// opened, opened again, about to quit), whether it shows in the dock, its light or dark
// appearance, its main menu, and quitting.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Platform/MenuModel.h"

namespace zelvorn {

// The application's appearance; `system` follows the system's light or dark setting.
enum class Appearance { system, light, dark };

// Every callback arrives on the main loop.
struct AppCallbacks {
  std::function<void()> didFinishLaunching;
  // Links of the program's own scheme, in the order they were opened.
  std::function<void(const std::vector<std::string>& urls)> openURLs;
  // The user launched the program again while it runs.
  std::function<void()> reopen;
  // Runs to completion before the process ends.
  std::function<void()> willTerminate;
};

class IAppShell {
 public:
  virtual ~IAppShell() = default;
  // Hands over the callbacks and runs the platform's event loop. A simulated shell returns at once
  // and delivers the callbacks as its main loop runs.
  virtual void run(AppCallbacks callbacks) = 0;
  // No dock icon and no menu bar of its own.
  virtual void setActivationPolicyAccessory() = 0;
  virtual void setAppearance(Appearance appearance) = 0;
  // The program never shows it, but its windows take their standard key equivalents from it.
  virtual void setMainMenu(const MenuModel& menu) = 0;
  // Quits: the will-terminate callback runs first.
  virtual void terminate() = 0;
};

}  // namespace zelvorn
