// The zelvorn command: the program on the X11 desktop and links handed to it, the scripted demo
// on the simulated desktop, a checker for hand-edited workspaces files, and a way to add a
// workspace where there is no settings window yet.
#include <CLI/CLI.hpp>

#include <iostream>

#include "CheckWorkspacesCommand.h"
#include "Demo.h"
#include "NewWorkspaceCommand.h"
#include "RunCommand.h"
#include "X11Demo.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig (which drawing an SVG icon starts) keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}
#endif

int main(int argc, char** argv) {
  CLI::App app{"Zelvorn — workspaces of applications, tiled side by side"};
  app.require_subcommand(1);

  std::string stateDirectory;
  auto* demo = app.add_subcommand(
      "demo", "Run a short scripted session of Zelvorn on the simulated desktop");
  demo->add_option("--state", stateDirectory,
                   "Folder for the session's workspaces, settings and log (default: a fresh "
                   "temporary folder)");

  std::string workspacesFile;
  auto* check = app.add_subcommand(
      "check-workspaces",
      "Read a workspaces file as Zelvorn does and print its canonical form, or what is wrong");
  check->add_option("FILE", workspacesFile, "The workspaces file")->required();

  std::vector<std::string> runLinks;
  auto* run = app.add_subcommand("run", "Run Zelvorn on this X11 desktop");
  run->add_option("LINK", runLinks, "zelvorn:// links to route once Zelvorn has started");

  std::vector<std::string> openLinks;
  auto* open = app.add_subcommand(
      "open", "Hand zelvorn:// links to the running Zelvorn, starting it when none runs");
  open->add_option("LINK", openLinks, "The links, e.g. zelvorn://show/Work")->required();

  std::string newName, newLayout;
  std::vector<std::string> newApps;
  auto* newWorkspace = app.add_subcommand(
      "new-workspace",
      "Add a workspace of two to four installed applications (Zelvorn not running)");
  newWorkspace->add_option("NAME", newName, "The workspace's name")->required();
  newWorkspace
      ->add_option("APP", newApps,
                   "Desktop-file ids (xterm, org.gnome.Nautilus.desktop) or .desktop paths")
      ->required();
  newWorkspace->add_option("--layout", newLayout,
                           "leftRightSplit, topBottomSplit, grid2x2, mainSidebar, threeColumns, "
                           "… (default: by the number of apps)");

  std::string screenshot = "zelvorn-demo.png";
  auto* x11Demo = app.add_subcommand(
      "x11-demo",
      "Show a workspace of real applications on this X11 display and save a screenshot");
  x11Demo->add_option("--screenshot", screenshot, "Where the PNG screenshot goes");

  CLI11_PARSE(app, argc, argv);

  if (*x11Demo) return zelvorn::runX11Demo(screenshot);

  if (*run) return zelvorn::runOnX11(runLinks);
  if (*open) return zelvorn::openLinks(openLinks);

  if (*demo) return zelvorn::runDemo(stateDirectory);
  if (*check) return zelvorn::runCheckWorkspaces(workspacesFile, std::cout, std::cerr);
  if (*newWorkspace)
    return zelvorn::runNewWorkspace(newName, newApps, newLayout, std::cout, std::cerr);
  return 0;
}
