#include "Posix/PosixEnvironment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zelvorn {

namespace {

std::optional<std::string> realVariable(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

// XDG says a relative path in these variables is invalid and is to be ignored.
std::optional<std::string> absolute(std::optional<std::string> path) {
  if (!path || path->empty() || path->front() != '/') return std::nullopt;
  while (path->size() > 1 && path->back() == '/')
    path->pop_back();
  return path;
}

std::string homeFolder(const PosixEnvironment::VariableLookup& variables) {
  if (auto home = absolute(variables("HOME"))) return *home;
  struct passwd entry {};
  struct passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return "/tmp";
}

ProcessFacts currentProcess() {
  ProcessFacts facts;
  facts.pid = static_cast<Pid>(getpid());
  std::ifstream comm("/proc/self/comm");
  std::getline(comm, facts.processName);
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  facts.bundlePath = ec ? std::string() : exe.string();
  if (!ec) facts.executablePath = exe.string();
  if (facts.processName.empty()) facts.processName = exe.filename().string();
  // Installed means run from a bin folder (/usr/bin, /usr/local/bin, ~/.local/bin, …) rather than
  // straight out of a build folder.
  facts.isAppBundle = !ec && exe.parent_path().filename() == "bin";
  facts.bundleIdentifier = "com.zelvorn.Zelvorn";
  facts.shortVersion = ZELVORN_VERSION;
  facts.buildVersion = ZELVORN_BUILD;
  return facts;
}

}  // namespace

PosixEnvironment::PosixEnvironment() : PosixEnvironment(realVariable) {}

PosixEnvironment::PosixEnvironment(VariableLookup variables) : variables_(std::move(variables)) {
  facts_ = currentProcess();
  locate(homeFolder(variables_), absolute(variables_("XDG_DATA_HOME")),
         absolute(variables_("XDG_CONFIG_HOME")), absolute(variables_("XDG_STATE_HOME")));
  folders_.temporaryDirectory = absolute(variables_("TMPDIR")).value_or("/tmp");
}

PosixEnvironment PosixEnvironment::rootedAt(const std::string& stateRoot) {
  PosixEnvironment env(realVariable);
  env.locate(stateRoot, std::nullopt, std::nullopt, std::nullopt);
  env.folders_.temporaryDirectory = stateRoot + "/tmp";
  env.facts_.isAppBundle = true;
  return env;
}

void PosixEnvironment::locate(const std::string& home, const std::optional<std::string>& dataHome,
                              const std::optional<std::string>& configHome,
                              const std::optional<std::string>& stateHome) {
  std::string data = dataHome.value_or(home + "/.local/share");
  std::string config = configHome.value_or(home + "/.config");
  std::string state = stateHome.value_or(home + "/.local/state");
  // The workspaces file goes in a "Zelvorn" folder below this one.
  folders_.applicationSupportDirectory = data;
  folders_.logDirectory = state + "/Zelvorn";
  settingsDirectory_ = config + "/Zelvorn";
  autostartDirectory_ = config + "/autostart";
}

std::optional<std::string> PosixEnvironment::environmentVariable(std::string_view name) const {
  return variables_(name);
}

}  // namespace zelvorn
