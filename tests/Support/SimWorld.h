// A simulated desktop with a disk: application bundles installed in the desktop also exist as
// files, so the app registry's existence checks and the desktop's launch services agree. Shared by
// the registry tests and the show scenarios.
#pragma once

#include <string>

#include "Sim/InMemoryFileSystem.h"
#include "Sim/SimDesktop.h"
#include "Sim/VirtualMainLoop.h"

namespace zelvorn {

struct SimWorld {
  VirtualMainLoop loop;
  SimDesktop desktop{loop};
  InMemoryFileSystem files;

  // Installs a bundle and puts a file at its path.
  void install(SimAppSpec desc) {
    files.putFile(desc.bundlePath, "bundle");
    desktop.install(std::move(desc));
  }
  static SimAppSpec app(std::string name, std::string bundleID) {
    SimAppSpec s;
    s.bundlePath = "/Applications/" + name + ".app";
    s.bundleIdentifier = std::move(bundleID);
    s.name = std::move(name);
    return s;
  }
};

}  // namespace zelvorn
