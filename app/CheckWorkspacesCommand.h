// `zelvorn check-workspaces FILE`: reads a workspaces file the way the program does at launch
// (without the load-time repairs) and prints either its canonical encoding or what is wrong.
// For people who edit the file by hand.
#pragma once

#include <ostream>
#include <string>

namespace zelvorn {

// Prints the canonical bytes and a newline to `out` and returns 0, or prints one line to `err`
// and returns 1.
int runCheckWorkspaces(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace zelvorn
