#include "Posix/StderrConsole.h"

#include <cstdio>

namespace zelvorn {

void StderrConsole::writeLine(std::string_view line) {
  std::lock_guard lock(mutex_);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fputc('\n', stderr);
}

}  // namespace zelvorn
