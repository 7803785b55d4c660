// Facts about this process and where the program keeps its files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Platform/Types.h"

namespace zelvorn {

struct ProcessFacts {
  Pid pid = 0;
  std::string processName;
  // Where the program is installed. `isAppBundle` is true when it runs as the installed
  // application (not as a bare build product or under a test host); only then does it write a
  // log file or register a login item.
  std::string bundlePath;
  bool isAppBundle = false;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> executablePath;
  std::optional<std::string> shortVersion;
  std::optional<std::string> buildVersion;
};

// The folders the program's own files live in.
struct StandardLocations {
  // Where the workspaces file lives; none when the system names no such folder.
  std::optional<std::string> applicationSupportDirectory;
  std::string temporaryDirectory;
  // Folder of the live log file and its rotated copy.
  std::string logDirectory;
};

class IEnvironment {
 public:
  virtual ~IEnvironment() = default;
  virtual const ProcessFacts& process() const = 0;
  virtual const StandardLocations& locations() const = 0;
  virtual std::optional<std::string> environmentVariable(std::string_view name) const = 0;
};

}  // namespace zelvorn
