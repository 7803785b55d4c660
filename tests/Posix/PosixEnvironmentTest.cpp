#include "Posix/PosixEnvironment.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

namespace zelvorn {
namespace {

PosixEnvironment::VariableLookup from(std::map<std::string, std::string, std::less<>> vars) {
  return [vars](std::string_view name) -> std::optional<std::string> {
    auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

TEST(PosixEnvironment, FoldersFollowXdgVariables) {
  PosixEnvironment env(from({{"HOME", "/home/ada"},
                             {"XDG_DATA_HOME", "/data/"},
                             {"XDG_CONFIG_HOME", "/cfg"},
                             {"XDG_STATE_HOME", "/state"},
                             {"TMPDIR", "/var/tmp"}}));
  EXPECT_EQ(env.locations().applicationSupportDirectory, "/data");
  EXPECT_EQ(env.locations().logDirectory, "/state/Zelvorn");
  EXPECT_EQ(env.locations().temporaryDirectory, "/var/tmp");
  EXPECT_EQ(env.settingsFile(), "/cfg/Zelvorn/settings.json");
  EXPECT_EQ(env.autostartDirectory(), "/cfg/autostart");
  EXPECT_EQ(env.environmentVariable("HOME"), "/home/ada");
}

TEST(PosixEnvironment, DefaultsBelowHomeAndRelativeValuesIgnored) {
  PosixEnvironment env(from({{"HOME", "/home/ada"}, {"XDG_STATE_HOME", "relative/state"}}));
  EXPECT_EQ(env.locations().applicationSupportDirectory, "/home/ada/.local/share");
  EXPECT_EQ(env.locations().logDirectory, "/home/ada/.local/state/Zelvorn");
  EXPECT_EQ(env.settingsDirectory(), "/home/ada/.config/Zelvorn");
  EXPECT_EQ(env.locations().temporaryDirectory, "/tmp");
}

TEST(PosixEnvironment, ProcessFactsAndRootedFolders) {
  auto env = PosixEnvironment::rootedAt("/srv/demo");
  EXPECT_EQ(env.process().pid, static_cast<Pid>(getpid()));
  EXPECT_FALSE(env.process().bundlePath.empty());
  EXPECT_TRUE(env.process().shortVersion.has_value());
  EXPECT_TRUE(env.process().isAppBundle);
  EXPECT_EQ(env.locations().applicationSupportDirectory, "/srv/demo/.local/share");
  EXPECT_EQ(env.locations().logDirectory, "/srv/demo/.local/state/Zelvorn");
  EXPECT_EQ(env.settingsFile(), "/srv/demo/.config/Zelvorn/settings.json");
  // A test program is not the installed application.
  EXPECT_FALSE(PosixEnvironment().process().isAppBundle);
}

}  // namespace
}  // namespace zelvorn
