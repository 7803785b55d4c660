// The role of an application within its workspace: exactly one app is meant to be primary. The
// stored string is the case name.
#pragma once

#include <optional>
#include <string_view>

namespace zelvorn {

enum class AppRole { primary, secondary };

std::string_view rawValue(AppRole role);
std::optional<AppRole> appRoleFromRawValue(std::string_view raw);

}  // namespace zelvorn
