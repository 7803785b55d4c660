// A snapshot of one running application as the system reports it; query again for fresh flags.
#pragma once

#include <optional>
#include <string>

#include "Platform/Types.h"

namespace zelvorn {

enum class ActivationPolicy { regular, accessory, prohibited };

struct RunningApp {
  Pid pid = 0;
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> localizedName;
  std::optional<std::string> bundlePath;
  ActivationPolicy activationPolicy = ActivationPolicy::regular;
  bool isHidden = false;
  bool isFinishedLaunching = true;
  std::optional<WallTime> launchDate;
  bool operator==(const RunningApp&) const = default;
};

}  // namespace zelvorn
