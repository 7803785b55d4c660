#include "Sim/SimAppShell.h"

namespace zelvorn {

namespace {

const char* name(Appearance a) {
  switch (a) {
    case Appearance::system:
      return "system";
    case Appearance::light:
      return "light";
    case Appearance::dark:
      return "dark";
  }
  return "?";
}

}  // namespace

void SimAppShell::run(AppCallbacks callbacks) {
  callbacks_ = std::move(callbacks);
  loop_.post([this] {
    if (callbacks_.didFinishLaunching) callbacks_.didFinishLaunching();
  });
}

void SimAppShell::setActivationPolicyAccessory() {
  activationPolicy = ActivationPolicy::accessory;
  calls.emplace_back("setActivationPolicyAccessory");
}

void SimAppShell::setAppearance(Appearance a) {
  appearance = a;
  calls.push_back(std::string("setAppearance(") + name(a) + ")");
}

void SimAppShell::setMainMenu(const MenuModel& menu) {
  mainMenu = menu;
  calls.emplace_back("setMainMenu");
}

void SimAppShell::terminate() {
  if (terminated) return;
  calls.emplace_back("terminate");
  if (callbacks_.willTerminate) callbacks_.willTerminate();
  terminated = true;
}

void SimAppShell::openURLs(std::vector<std::string> urls) {
  loop_.post([this, urls = std::move(urls)] {
    if (callbacks_.openURLs) callbacks_.openURLs(urls);
  });
}

void SimAppShell::reopen() {
  loop_.post([this] {
    if (callbacks_.reopen) callbacks_.reopen();
  });
}

}  // namespace zelvorn
