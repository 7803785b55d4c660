// The persisted list of applications whose menus offered no command to open another window, so
// the program stops offering to open one for them.
#pragma once

#include <string_view>

#include "Platform/IKeyValueStore.h"

namespace zelvorn {

class NewWindowCapability {
 public:
  static constexpr std::string_view kDefaultsKey = "ZelvornAppsWithoutWindowCommand";

  // Adds the application to the list, writing the list (sorted ascending) only when it was not
  // there yet.
  static void rememberUnable(std::string_view bundleID, IKeyValueStore& defaults);
  static bool isUnable(std::string_view bundleID, const IKeyValueStore& defaults);
};

}  // namespace zelvorn
