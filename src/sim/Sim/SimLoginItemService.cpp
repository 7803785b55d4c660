#include "Sim/SimLoginItemService.h"

namespace zelvorn {

std::optional<Error> SimLoginItemService::registerMainApp() {
  ++registerCalls;
  if (registerError) return registerError;
  reading = {LoginItemStatus::enabled, kRawEnabled};
  return std::nullopt;
}

std::optional<Error> SimLoginItemService::unregisterMainApp() {
  ++unregisterCalls;
  if (unregisterError) {
    if (unregisterRemovesDespiteError)
      reading = {LoginItemStatus::notRegistered, kRawNotRegistered};
    return unregisterError;
  }
  reading = {LoginItemStatus::notRegistered, kRawNotRegistered};
  return std::nullopt;
}

}  // namespace zelvorn
