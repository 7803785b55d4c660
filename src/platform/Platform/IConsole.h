// The system console: where every diagnostic line is echoed. Callable from any thread.
#pragma once

#include <string_view>

namespace zelvorn {

class IConsole {
 public:
  virtual ~IConsole() = default;
  virtual void writeLine(std::string_view line) = 0;
};

}  // namespace zelvorn
