// The zelvorn command: the scripted demo on the simulated desktop, and a checker for hand-edited
// workspaces files.
#include <CLI/CLI.hpp>

#include <iostream>

#include "CheckWorkspacesCommand.h"
#include "Demo.h"

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

  CLI11_PARSE(app, argc, argv);

  if (*demo) return zelvorn::runDemo(stateDirectory);
  if (*check) return zelvorn::runCheckWorkspaces(workspacesFile, std::cout, std::cerr);
  return 0;
}
