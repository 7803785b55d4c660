#include "Sim/SimEnvironment.h"

namespace zelvorn {

SimEnvironment::SimEnvironment() {
  facts.pid = 400;  // the simulated desktop's own process
  facts.processName = "Zelvorn";
  facts.bundlePath = "/Applications/Zelvorn.app";
  facts.isAppBundle = true;
  facts.bundleIdentifier = "com.zelvorn.Zelvorn";
  facts.executablePath = "/Applications/Zelvorn.app/Contents/MacOS/Zelvorn";
  facts.shortVersion = "1.0";
  facts.buildVersion = "1";
  folders.applicationSupportDirectory = "/home/user/.local/share";
  folders.temporaryDirectory = "/tmp";
  folders.logDirectory = "/home/user/.local/state/zelvorn";
}

std::optional<std::string> SimEnvironment::environmentVariable(std::string_view name) const {
  auto it = variables.find(name);
  if (it == variables.end()) return std::nullopt;
  return it->second;
}

}  // namespace zelvorn
