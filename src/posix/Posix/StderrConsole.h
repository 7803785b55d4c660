// The console of a process run from a terminal: each line goes to standard error, whole.
#pragma once

#include <mutex>

#include "Platform/IConsole.h"

namespace zelvorn {

class StderrConsole final : public IConsole {
 public:
  void writeLine(std::string_view line) override;

 private:
  std::mutex mutex_;
};

}  // namespace zelvorn
