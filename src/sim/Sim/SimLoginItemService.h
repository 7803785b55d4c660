// The login-item service of the simulated desktop: a status a test sets or that registering
// changes, and failures a test can inject into registering and unregistering.
#pragma once

#include "Platform/ILoginItemService.h"

namespace zelvorn {

class SimLoginItemService final : public ILoginItemService {
 public:
  // Raw numbers as the system reports them beside each status.
  static constexpr int kRawNotRegistered = 0;
  static constexpr int kRawEnabled = 1;
  static constexpr int kRawRequiresApproval = 2;
  static constexpr int kRawNotFound = 3;

  LoginItemReading status() override { return reading; }
  std::optional<Error> registerMainApp() override;
  std::optional<Error> unregisterMainApp() override;

  LoginItemReading reading{LoginItemStatus::notRegistered, kRawNotRegistered};
  std::optional<Error> registerError;
  std::optional<Error> unregisterError;
  // The item goes away even though unregistering reports `unregisterError`.
  bool unregisterRemovesDespiteError = false;
  int registerCalls = 0;
  int unregisterCalls = 0;
};

}  // namespace zelvorn
