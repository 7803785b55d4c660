// The demo on a real X display: real applications shown as a workspace, and a screenshot of it.
#pragma once

#include <string>

namespace zelvorn {

// Shows a three-app workspace of xterm, xclock and xeyes on $DISPLAY and saves the primary
// monitor as a PNG at `screenshotPath`. 1 when there is no X display with a window manager.
int runX11Demo(const std::string& screenshotPath);

}  // namespace zelvorn
