#include "App/AppTheme.h"

namespace zelvorn {

std::string_view AppThemes::rawValue(AppTheme theme) {
  switch (theme) {
    case AppTheme::system:
      return "system";
    case AppTheme::light:
      return "light";
    case AppTheme::dark:
      return "dark";
  }
  return "system";
}

std::optional<AppTheme> AppThemes::fromRawValue(std::string_view raw) {
  for (AppTheme t : all)
    if (rawValue(t) == raw) return t;
  return std::nullopt;
}

AppTheme AppThemes::current(const IKeyValueStore& defaults) {
  auto raw = defaults.string(kDefaultsKey);
  if (!raw) return AppTheme::system;
  return fromRawValue(*raw).value_or(AppTheme::system);
}

void AppThemes::apply(AppTheme theme, IAppShell& shell) {
  switch (theme) {
    case AppTheme::system:
      shell.setAppearance(Appearance::system);
      return;
    case AppTheme::light:
      shell.setAppearance(Appearance::light);
      return;
    case AppTheme::dark:
      shell.setAppearance(Appearance::dark);
      return;
  }
}

}  // namespace zelvorn
