// The one sink for diagnostic lines: each goes to the console, into a ring of the last 500 lines,
// and, when the user turned it on, into the rotating log file. Callable from any thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/IConsole.h"
#include "Platform/IEnvironment.h"
#include "Platform/IFileSystem.h"
#include "Platform/Types.h"

namespace zelvorn {

// What the log writes to. Any member may be null: a null console or file system simply is not
// written; a null clock reads the system clock.
struct LogSinks {
  IConsole* console = nullptr;
  IFileSystem* fileSystem = nullptr;
  const IEnvironment* environment = nullptr;
  std::function<WallTime()> clock;
};

class Log {
 public:
  static constexpr std::size_t kRingCapacity = 500;

  static void line(std::string_view text);
  static void setFileLogging(bool on);

  // The ring, oldest first, each entry "<HH:mm:ss.SSS> <text>".
  static std::vector<std::string> recentLines();

  // Installs the sinks (closing any open log file) and empties the ring. Called once at start-up
  // by the program, and by each test that looks at log lines.
  static void configure(LogSinks sinks);
};

}  // namespace zelvorn
