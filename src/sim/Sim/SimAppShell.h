// The application shell of the simulated desktop: records what the program set (dock policy,
// appearance, main menu, quitting) and lets a test or the demo play the system's part, opening
// links and launching the program again, with each callback delivered on the main loop.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Platform/IAppShell.h"
#include "Platform/IMainLoop.h"
#include "Platform/RunningApp.h"

namespace zelvorn {

class SimAppShell final : public IAppShell {
 public:
  explicit SimAppShell(IMainLoop& loop) : loop_(loop) {}

  // Posts the launch-finished callback; links opened before this are delivered first.
  void run(AppCallbacks callbacks) override;
  void setActivationPolicyAccessory() override;
  void setAppearance(Appearance appearance) override;
  void setMainMenu(const MenuModel& menu) override;
  // Runs the will-terminate callback at once, as the system does inside its quit.
  void terminate() override;

  // --- The system's part ---
  // One open-links event; delivered on the main loop in the order events were opened.
  void openURLs(std::vector<std::string> urls);
  void reopen();

  // --- What the program did ---
  std::optional<ActivationPolicy> activationPolicy;
  std::optional<Appearance> appearance;
  std::optional<MenuModel> mainMenu;
  bool terminated = false;
  // Every call in order ("setActivationPolicyAccessory", "setAppearance(dark)", "setMainMenu",
  // "terminate"), for checking the order of a launch.
  std::vector<std::string> calls;

 private:
  IMainLoop& loop_;
  AppCallbacks callbacks_;
};

}  // namespace zelvorn
