// The axis of one node of a workspace's split tree. The stored string is the case name.
#pragma once

#include <optional>
#include <string_view>

namespace zelvorn {

enum class SplitDirection { horizontal, vertical };

std::string_view rawValue(SplitDirection direction);
std::optional<SplitDirection> splitDirectionFromRawValue(std::string_view raw);

}  // namespace zelvorn
