// The plain values that describe the simulated desktop: application bundles on its disk (with
// their menus and launch behaviour) and windows (with their attributes and the habits of real
// applications: minimum sizes, resize increments, refusals, moving back, panels).
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/IAccessibility.h"
#include "Platform/RunningApp.h"
#include "Platform/Types.h"

namespace zelvorn {

// How a window answers a write it does not accept: the write fails with an error, or it reports
// success and nothing changes.
enum class SimRefusal { none, fails, ignored };

struct SimWindowSpec {
  std::optional<std::string> title = "Untitled";
  std::optional<std::string> role = "AXWindow";
  std::optional<std::string> subrole = "AXStandardWindow";
  std::optional<std::string> identifier;
  std::optional<std::string> document;  // "AXDocument": a URL string such as "file:///a/b.txt"
  AXRect frame{100, 100, 800, 600};
  bool minimized = false;
  bool fullScreen = false;
  int layer = 0;
  bool onCurrentSpace = true;  // a window on another Space is listed but not on screen
  bool desktopElement = false;

  Size minSize{};
  std::optional<Size> maxSize;
  Size resizeIncrements{};  // 0: any size; otherwise sizes round down to base + n × increment
  Size resizeBase{};
  SimRefusal move = SimRefusal::none;
  SimRefusal resize = SimRefusal::none;
  AXError refusalError = kAXErrorAttributeUnsupported;
  // Puts itself back where it was this long after being moved or resized through Accessibility.
  std::optional<Seconds> movesBackAfter;
  // Reports success for this many position writes without moving (busy with its own animation).
  int ignoresNextMoves = 0;
  bool exposesWindowNumber = true;

  static SimWindowSpec openPanel(AXRect frame = {300, 200, 700, 450}) {
    SimWindowSpec w;
    w.title = "Open";
    w.subrole = "AXDialog";
    w.identifier = "open-panel";
    w.frame = frame;
    return w;
  }
  static SimWindowSpec savePanel(AXRect frame = {300, 200, 600, 400}) {
    SimWindowSpec w = openPanel(frame);
    w.title = "Save";
    w.identifier = "save-panel";
    return w;
  }
};

// What pressing a menu item does.
enum class SimMenuAction { none, newWindow, newTab };

struct SimMenuItem {
  std::optional<std::string> title;  // none: a separator or an item without a text title
  bool enabled = true;
  std::optional<std::string> commandChar;
  std::optional<std::int64_t> commandModifiers;  // 0: Command alone; 1 Shift, 2 Option, 4 Control
  SimMenuAction action = SimMenuAction::none;
  AXError pressError = kAXErrorSuccess;  // a press that the application rejects
};

struct SimMenu {
  std::string title;
  std::vector<SimMenuItem> items;
};

// An application bundle on the simulated disk and how its processes behave.
struct SimAppSpec {
  std::string bundlePath;  // "/Applications/Notes.app"
  std::optional<std::string> bundleIdentifier;
  std::optional<std::string> displayName;  // "CFBundleDisplayName"
  std::optional<std::string> name;         // "CFBundleName", also the process's localized name
  std::optional<Bytes> icon;               // PNG data; a small made-up one when absent
  ActivationPolicy activationPolicy = ActivationPolicy::regular;

  Seconds launchDelay = 0.5;         // open request → process running
  Seconds finishLaunchingDelay = 0;  // running → finished launching
  Seconds windowDelay = 0.3;         // finished launching → first windows
  Seconds terminateDelay = 0.1;      // terminate request → gone
  bool quitsOnRequest = true;
  std::optional<Error> launchError;  // the system refuses to launch it
  std::vector<SimWindowSpec> windowsAtLaunch{SimWindowSpec{}};
  bool opensDocuments = true;     // one window per opened document, in place of the above
  bool reopenOpensWindow = true;  // an activating open of a windowless instance opens one
  SimWindowSpec newWindow;        // what "New Window", documents and reopen open
  std::vector<SimMenu> menus;
};

// The state of one window now.
struct SimWindowState {
  WindowNumber number = 0;
  Pid pid = 0;
  bool alive = true;
  SimWindowSpec desc;
};

}  // namespace zelvorn
