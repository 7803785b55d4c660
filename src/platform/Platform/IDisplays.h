// The attached displays, read synchronously. Changes are announced through ISystemEvents
// (screenParametersChanged); a reader asks again rather than keeping a copy.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "Platform/ScreenInfo.h"

namespace zelvorn {

class IDisplays {
 public:
  virtual ~IDisplays() = default;
  // In system order; an index into this list is what menus call a screen index.
  virtual std::vector<ScreenInfo> screens() const = 0;
  // The screen holding the key window or the menu bar; none when there are no screens.
  virtual std::optional<std::size_t> mainScreenIndex() const = 0;
};

}  // namespace zelvorn
