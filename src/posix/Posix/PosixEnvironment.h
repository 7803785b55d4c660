// Facts about this process and the folders of a freedesktop user: workspaces under
// $XDG_DATA_HOME, settings under $XDG_CONFIG_HOME, the log under $XDG_STATE_HOME (each in a
// "Zelvorn" folder, with the usual defaults below the home folder). A second constructor roots all
// of it under one folder, so a demo or a trial run leaves the user's own files alone.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "Platform/IEnvironment.h"

namespace zelvorn {

class PosixEnvironment final : public IEnvironment {
 public:
  using VariableLookup = std::function<std::optional<std::string>(std::string_view name)>;

  // The real process and environment.
  PosixEnvironment();
  // Folders from these variables (tests).
  explicit PosixEnvironment(VariableLookup variables);
  // Every folder below `stateRoot`, laid out as the XDG folders are below a home folder. The
  // process counts as the installed application there, so it keeps a log file when asked to.
  static PosixEnvironment rootedAt(const std::string& stateRoot);

  const ProcessFacts& process() const override { return facts_; }
  const StandardLocations& locations() const override { return folders_; }
  std::optional<std::string> environmentVariable(std::string_view name) const override;

  // Where the settings file lives.
  const std::string& settingsDirectory() const { return settingsDirectory_; }
  std::string settingsFile() const { return settingsDirectory_ + "/settings.json"; }
  // The session's autostart folder (login items).
  const std::string& autostartDirectory() const { return autostartDirectory_; }

 private:
  void locate(const std::string& home, const std::optional<std::string>& dataHome,
              const std::optional<std::string>& configHome,
              const std::optional<std::string>& stateHome);

  VariableLookup variables_;
  ProcessFacts facts_;
  StandardLocations folders_;
  std::string settingsDirectory_;
  std::string autostartDirectory_;
};

}  // namespace zelvorn
