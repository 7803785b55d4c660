// The platform services the application delegate builds the program on. Every member outlives
// the delegate. Later services (own windows, hot keys, …) join as their users arrive.
#pragma once

#include "Platform/IAccessibility.h"
#include "Platform/IAppShell.h"
#include "Platform/IDisplays.h"
#include "Platform/IEnvironment.h"
#include "Platform/IFileSystem.h"
#include "Platform/IKeyValueStore.h"
#include "Platform/ILaunchServices.h"
#include "Platform/ILoginItemService.h"
#include "Platform/IMainLoop.h"
#include "Platform/IModalUI.h"
#include "Platform/IRunningApps.h"
#include "Platform/IWindowList.h"

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
  IWindowList& windowList;
  IRunningApps& runningApps;
  IDisplays& displays;
  IModalUI& modal;
};

}  // namespace zelvorn
