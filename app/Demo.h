// `zelvorn demo`: a short scripted session of the real application delegate on the simulated
// desktop, with its files (workspaces, settings, log) in one state folder. The session is a list
// of chapters; each chapter is a function over the shared world, so new behaviour adds a chapter.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "App/AppDelegate.h"
#include "Platform/IConsole.h"
#include "Posix/JsonFileKeyValueStore.h"
#include "Posix/PosixEnvironment.h"
#include "Posix/PosixFileSystem.h"
#include "Sim/SimAppShell.h"
#include "Sim/SimDesktop.h"
#include "Sim/SimLoginItemService.h"
#include "Sim/SimModalUI.h"
#include "Sim/VirtualMainLoop.h"

namespace zelvorn {

class WorkspaceManager;

// Prints each log line as it is written, indented under the narration.
class DemoConsole final : public IConsole {
 public:
  void writeLine(std::string_view line) override;
};

// Everything a chapter works with. One process of Zelvorn at a time: `launch` starts one,
// `quit` ends it the way the system does; the state folder, the desktop and the clock go on.
class DemoWorld {
 public:
  explicit DemoWorld(std::string stateDirectory);
  ~DemoWorld();

  // Starts a process: settings read from disk, the log restarted, a fresh delegate. Links opened
  // now arrive before launch has finished.
  void startProcess();
  // The system reports that launching has finished; the loop runs until it is idle.
  void finishLaunching();
  // Quits through the shell (the delegate's shutdown runs) and ends the process.
  void quit();
  // The system opens one event of links; delivered as the loop runs.
  void openURLs(std::vector<std::string> urls);
  // Lets the main loop run until nothing is left to do.
  void settle();

  // Narration between the log lines.
  void say(std::string_view text) const;
  WorkspaceManager& workspaces();

  const std::string stateDirectory;
  VirtualMainLoop loop;
  SimDesktop desktop{loop};
  PosixFileSystem fileSystem;
  PosixEnvironment environment;
  SimLoginItemService loginItems;
  SimModalUI modal;
  DemoConsole console;
  std::unique_ptr<JsonFileKeyValueStore> defaults;
  std::unique_ptr<SimAppShell> shell;
  std::unique_ptr<AppDelegate> delegate;

 private:
  void narrate(const ZelvornURL::Command& command);
};

struct DemoChapter {
  std::string_view title;
  void (*run)(DemoWorld& world);
};

// The chapters, each in its own Demo*.cpp file.
void demoEarlyLinks(DemoWorld& world);
void demoCreatingWorkspaces(DemoWorld& world);
void demoLinksByNameOrNumber(DemoWorld& world);
void demoBadLinks(DemoWorld& world);
void demoMovingWindows(DemoWorld& world);
void demoShowingAWorkspace(DemoWorld& world);
void demoQuitAndRelaunch(DemoWorld& world);

// Runs every chapter in order; the state folder is `stateDirectory`, or a fresh temporary one.
int runDemo(std::string stateDirectory);

}  // namespace zelvorn
