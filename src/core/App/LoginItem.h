// "Launch at login": its state, the switch, and the diagnostics line logged at launch. Built on
// the system's login-item service; only the installed application can be a login item. Used by
// the application delegate, the settings window and onboarding, all on the main loop.
#pragma once

#include <optional>
#include <string_view>

#include "Platform/IEnvironment.h"
#include "Platform/ILoginItemService.h"
#include "Platform/IMainLoop.h"
#include "Platform/Types.h"

namespace zelvorn {

class LoginItem {
 public:
  enum class State { enabled, disabled, requiresApproval, unavailable };
  static std::string_view name(State state);

  LoginItem(ILoginItemService& service, const IEnvironment& environment, IMainLoop& loop)
      : service_(service), environment_(environment), loop_(loop) {}

  State state();
  // Registers or unregisters; the error to show beside the switch, none on success.
  std::optional<Error> setEnabled(bool on);
  // Posts one line describing the login item to the main loop.
  void logDiagnostics();

 private:
  ILoginItemService& service_;
  const IEnvironment& environment_;
  IMainLoop& loop_;
};

}  // namespace zelvorn
