// Process facts, folders and environment variables of the simulated desktop, all plain fields a
// test or the demo sets. By default it looks like the installed application.
#pragma once

#include <map>
#include <string>

#include "Platform/IEnvironment.h"

namespace zelvorn {

class SimEnvironment final : public IEnvironment {
 public:
  SimEnvironment();

  const ProcessFacts& process() const override { return facts; }
  const StandardLocations& locations() const override { return folders; }
  std::optional<std::string> environmentVariable(std::string_view name) const override;

  ProcessFacts facts;
  StandardLocations folders;
  std::map<std::string, std::string, std::less<>> variables;
};

}  // namespace zelvorn
