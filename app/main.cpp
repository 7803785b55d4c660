// The zelvorn command: picks a backend, builds the application and runs it.
#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
  CLI::App app{"Zelvorn — workspaces of applications, tiled side by side"};
  app.require_subcommand(1);
  app.add_subcommand("demo", "Run a short scripted session on the simulated desktop");
  CLI11_PARSE(app, argc, argv);
  return 0;
}
