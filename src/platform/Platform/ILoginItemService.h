// The system's "launch at login" service for this application.
#pragma once

#include <optional>

#include "Platform/Types.h"

namespace zelvorn {

enum class LoginItemStatus { notRegistered, enabled, requiresApproval, notFound };

struct LoginItemReading {
  LoginItemStatus status = LoginItemStatus::notRegistered;
  int rawStatus = 0;
};

class ILoginItemService {
 public:
  virtual ~ILoginItemService() = default;
  virtual LoginItemReading status() = 0;
  virtual std::optional<Error> registerMainApp() = 0;
  virtual std::optional<Error> unregisterMainApp() = 0;
};

}  // namespace zelvorn
