// A per-workspace key combination. The program keeps it in the file and writes it back unchanged;
// nothing reads it.
#pragma once

#include <cstdint>
#include <string>

namespace zelvorn {

struct ShortcutConfig {
  std::uint32_t keyCode = 0;
  std::uint32_t carbonModifiers = 0;  // the system's hot-key modifier mask
  std::string displayString;

  bool operator==(const ShortcutConfig&) const = default;
};

}  // namespace zelvorn
