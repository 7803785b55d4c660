#include "Models/AppRole.h"

namespace zelvorn {

std::string_view rawValue(AppRole role) {
  return role == AppRole::primary ? "primary" : "secondary";
}

std::optional<AppRole> appRoleFromRawValue(std::string_view raw) {
  if (raw == "primary") return AppRole::primary;
  if (raw == "secondary") return AppRole::secondary;
  return std::nullopt;
}

}  // namespace zelvorn
