#include "App/AppTheme.h"

#include <gtest/gtest.h>

#include "Sim/InMemoryKeyValueStore.h"
#include "Sim/SimAppShell.h"
#include "Sim/VirtualMainLoop.h"

namespace zelvorn {
namespace {

TEST(AppTheme, StoredValueMissingOrUnknownReadsAsSystem) {
  InMemoryKeyValueStore defaults;
  EXPECT_EQ(AppThemes::current(defaults), AppTheme::system);
  struct Case {
    StoreValue stored;
    AppTheme theme;
  };
  for (const auto& [stored, theme] :
       {Case{std::string("light"), AppTheme::light}, Case{std::string("dark"), AppTheme::dark},
        Case{std::string("system"), AppTheme::system}, Case{std::string("Dark"), AppTheme::system},
        Case{std::string("sepia"), AppTheme::system}, Case{true, AppTheme::system}}) {
    defaults.set("appTheme", stored);
    EXPECT_EQ(AppThemes::current(defaults), theme);
  }
}

TEST(AppTheme, ApplyingSetsTheAppearance) {
  VirtualMainLoop loop;
  SimAppShell shell(loop);
  for (AppTheme t : AppThemes::all) {
    AppThemes::apply(t, shell);
    EXPECT_EQ(AppThemes::fromRawValue(AppThemes::rawValue(t)), t);
  }
  EXPECT_EQ(shell.calls, (std::vector<std::string>{"setAppearance(system)", "setAppearance(light)",
                                                   "setAppearance(dark)"}));
}

}  // namespace
}  // namespace zelvorn
