// The zelvorn command: the program on the X11 desktop and links handed to it, the scripted demo
// on the simulated desktop, and a checker for hand-edited workspaces files.
#include <CLI/CLI.hpp>

#include <iostream>

#include "CheckWorkspacesCommand.h"
#include "Demo.h"
#include "RunCommand.h"
#include "X11Demo.h"

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
  return 0;
}
