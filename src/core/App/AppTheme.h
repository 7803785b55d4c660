// The user's light / dark / system appearance preference, stored under "appTheme", and applying
// it to the application. Read at launch and by the settings window's picker.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "Platform/IAppShell.h"
#include "Platform/IKeyValueStore.h"

namespace zelvorn {

enum class AppTheme { system, light, dark };

// The operations of AppTheme (an enumeration cannot carry them in C++).
struct AppThemes {
  static constexpr std::string_view kDefaultsKey = "appTheme";
  // In picker order.
  static constexpr std::array<AppTheme, 3> all{AppTheme::system, AppTheme::light, AppTheme::dark};

  static std::string_view rawValue(AppTheme theme);
  static std::optional<AppTheme> fromRawValue(std::string_view raw);
  // The stored theme; a missing or unknown value reads as `system`.
  static AppTheme current(const IKeyValueStore& defaults);
  // Sets the application's appearance: light, dark, or none (follow the system).
  static void apply(AppTheme theme, IAppShell& shell);
};

}  // namespace zelvorn
