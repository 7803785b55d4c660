// `zelvorn run` and `zelvorn open`: the program on the X11 desktop, and handing links to it.
#pragma once

#include <string>
#include <vector>

namespace zelvorn {

// Runs the program on $DISPLAY until it is asked to quit, routing the given links once launched.
// When an instance already runs, hands it the links instead. 1 when there is no X display with a
// window manager.
int runOnX11(const std::vector<std::string>& urls);

// Sends the links to the running instance; with none running, starts one that routes them.
int openLinks(const std::vector<std::string>& urls);

// Whether an instance of the program runs for this user (it answers on the link socket).
bool instanceRunning();

}  // namespace zelvorn
