#include "Models/SplitDirection.h"

namespace zelvorn {

std::string_view rawValue(SplitDirection direction) {
  return direction == SplitDirection::horizontal ? "horizontal" : "vertical";
}

std::optional<SplitDirection> splitDirectionFromRawValue(std::string_view raw) {
  if (raw == "horizontal") return SplitDirection::horizontal;
  if (raw == "vertical") return SplitDirection::vertical;
  return std::nullopt;
}

}  // namespace zelvorn
