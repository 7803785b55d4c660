// The one sink for diagnostic lines: each goes to the console, into a ring of the last 500 lines,
// and, when the user turned it on, into the rotating log file. Callable from any thread; the ring
// and the file share one lock, and the console is written outside it.
#pragma once

#include <cstdint>
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
  // The live file is rotated once it is strictly larger than this.
  static constexpr std::uint64_t kMaxFileBytes = 10'485'760;
  // The file's size is looked at once per this many lines, not per line.
  static constexpr int kSizeCheckInterval = 1000;
  // A longer line (after escaping) is cut on a character boundary and ends in "…".
  static constexpr std::size_t kMaxLineBytes = 8192;
  static constexpr std::string_view kFileName = "Zelvorn.log";
  static constexpr std::string_view kRotatedFileName = "Zelvorn.1.log";

  static void line(std::string_view text);
  static void setFileLogging(bool on);

  // The ring, oldest first, each entry "<HH:mm:ss.SSS> <text>".
  static std::vector<std::string> recentLines();

  // Installs the sinks (closing any open log file) and empties the ring. Called once at start-up
  // by the program, and by each test that looks at log lines.
  static void configure(LogSinks sinks);

  // The text as it is written: control characters escaped (so one call is always one line, and
  // text from outside cannot forge lines), invalid UTF-8 bytes shown as \xNN, and an absurdly
  // long text cut to kMaxLineBytes. Ordinary text comes back unchanged.
  static std::string escaped(std::string_view text);
};

}  // namespace zelvorn
