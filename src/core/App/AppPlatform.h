// The platform services the application delegate builds the program on. Every member outlives
// the delegate. Later services (windows, hot keys, displays, …) join as their users arrive.
#pragma once

#include "Platform/IAccessibility.h"
#include "Platform/IAppShell.h"
#include "Platform/IEnvironment.h"
#include "Platform/IFileSystem.h"
#include "Platform/IKeyValueStore.h"
#include "Platform/ILaunchServices.h"
#include "Platform/ILoginItemService.h"
#include "Platform/IMainLoop.h"

namespace zelvorn {

struct AppPlatform {
  IMainLoop& loop;
  IAppShell& shell;
  IKeyValueStore& defaults;
  IFileSystem& fileSystem;
  const IEnvironment& environment;
  ILoginItemService& loginItems;
  IAccessibility& accessibility;
  ILaunchServices& launchServices;
};

}  // namespace zelvorn
