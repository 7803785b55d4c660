// The program's only way of reading and moving other applications' windows: typed attribute
// readers, window records, the manageable and dialog rules, placement with its fixed order of
// writes, the new-window menu search and the full-screen test over the window list. It holds no
// state of its own; the session controller creates one and hands it to everyone else.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/IAccessibility.h"
#include "Platform/IDisplays.h"
#include "Platform/IWindowList.h"
#include "Platform/Types.h"

namespace zelvorn {

// One display as the full-screen test needs it: its frame size and the top safe-area inset of a
// display with a camera housing (0 for none).
struct FullScreenExtent {
  Size size;
  double topInset = 0;
  bool operator==(const FullScreenExtent&) const = default;
};

class AXWindowController {
 public:
  // One window of another application, as read in one pass.
  struct WindowInfo {
    AXElement element;
    std::optional<std::string> title;
    std::optional<std::string> role;
    std::optional<std::string> subrole;
    std::optional<AXPoint> position;
    std::optional<Size> size;
    bool isMinimized = false;
    bool isMain = false;
    bool isFullScreen = false;
    std::optional<std::string> identifier;
    bool operator==(const WindowInfo&) const = default;
  };

  // What the new-window search knows of one menu item.
  struct MenuItemFacts {
    std::string title;
    bool enabled = false;
    bool onPlainCommandN = false;  // its shortcut is ⌘N with no other modifier
    bool operator==(const MenuItemFacts&) const = default;
  };

  // The command chosen to open another window.
  struct NewWindowMenuItem {
    std::string title;
    std::string menuTitle;
    AXElement element;
    bool isWindowCommand = false;  // chosen by its title, not only by its shortcut
    bool operator==(const NewWindowMenuItem&) const = default;
    // "<menuTitle> ▸ <title>", as the user is shown it.
    std::string displayName() const { return menuTitle + " ▸ " + title; }
  };

  struct NewWindowPick {
    std::size_t index = 0;
    bool isWindowCommand = false;
    bool operator==(const NewWindowPick&) const = default;
  };

  // The outcome of one placement.
  struct Placed {
    bool operator==(const Placed&) const = default;
  };
  struct Refused {
    AXRect actual;  // the frame the window really has
    bool operator==(const Refused&) const = default;
  };
  struct Failed {
    bool operator==(const Failed&) const = default;
  };
  using PlacementOutcome = std::variant<Placed, Refused, Failed>;

  static constexpr double kPlacementTolerance = 8;
  static constexpr double kFullScreenTolerance = 2;

  AXWindowController(IAccessibility& ax, IWindowList& windowList, const IDisplays& displays)
      : ax_(ax), windowList_(windowList), displays_(displays) {}

  // --- Single-attribute readers: an error, a missing value or a value of another type reads as
  // empty (or false). ---
  std::optional<std::string> string(const AXElement& element, std::string_view attribute);
  std::optional<AXPoint> point(const AXElement& element, std::string_view attribute);
  std::optional<Size> sizeValue(const AXElement& element, std::string_view attribute);
  bool boolValue(const AXElement& element, std::string_view attribute);
  std::optional<AXElement> elementValue(const AXElement& element, std::string_view attribute);

  // --- Windows ---
  AXElement applicationElement(Pid app) { return ax_.applicationElement(app); }
  std::vector<AXElement> windowElements(const AXElement& appElement);
  // Every window of the application in its Accessibility order, each read in one pass.
  std::vector<WindowInfo> windowInfos(Pid app);
  // The same under a messaging time-out on the application, which is set back to the system
  // default afterwards whatever happened.
  std::vector<WindowInfo> windowInfos(Pid app, float timeout);
  std::vector<WindowInfo> manageableWindows(Pid app);
  std::optional<WindowInfo> mainWindow(Pid app);
  std::optional<AXElement> focusedWindow(Pid app);
  std::vector<AXElement> axChildren(const AXElement& element);
  std::optional<WindowNumber> windowNumber(const AXElement& element) {
    return ax_.windowNumber(element);
  }

  static bool isManageable(const WindowInfo& window);
  static std::optional<std::size_t> selectBindableIndex(const std::vector<bool>& isMain,
                                                        const std::set<std::size_t>& claimed);
  static std::optional<WindowInfo> selectPendingDialog(const std::vector<WindowInfo>& windows);
  // "id=<identifier> subrole=<subrole>", an absent value written as "—".
  std::string windowKind(const AXElement& element);
  static bool matches(const AXRect& a, const AXRect& b, double tolerance);

  // Moves and resizes the window to `frame` (AX space). Never throws; the caller decides what a
  // refusal or a failure means.
  PlacementOutcome place(const AXElement& window, const AXRect& frame);

  // A placement in two halves, for placing several windows together: every window's writes
  // first, then every read-back. A platform that answers writes asynchronously (the window
  // manager on X11) then works on all of them at once instead of one after another.
  struct PlacementRequest {
    AXElement window;
    AXRect frame;
    bool sized = false;  // one of the two size writes succeeded
    bool operator==(const PlacementRequest&) const = default;
  };
  // The writes; Failed at once when the window refused the move.
  std::variant<PlacementRequest, Failed> requestPlacement(const AXElement& window,
                                                          const AXRect& frame);
  // The read-back, and one more move for a window that took its size but not its place.
  PlacementOutcome finishPlacement(const PlacementRequest& request);

  // --- Menus ---
  std::optional<NewWindowMenuItem> newWindowMenuItem(Pid app);
  static std::optional<NewWindowPick> pickNewWindowCommand(const std::vector<MenuItemFacts>& items);
  // Presses a menu item; logs and answers false when the application rejects it.
  bool press(const AXElement& element);

  // The standardized file path the window shows, when its "AXDocument" is a file URL.
  std::optional<std::string> documentPath(const AXElement& window);

  // --- Full screen ---
  // Whether an ordinary window of the process is the size of a screen (or of a screen below its
  // camera housing), within two points.
  bool appHasNativeFullScreenWindow(Pid pid);
  bool appHasNativeFullScreenWindow(Pid pid, const std::vector<FullScreenExtent>& screens);

 private:
  AXValue copy(const AXElement& element, std::string_view attribute);

  IAccessibility& ax_;
  IWindowList& windowList_;
  const IDisplays& displays_;
};

// Parses a "file:" URL into its standardized path: percent escapes decoded, "." and ".." resolved,
// no trailing slash. None for any other URL or a malformed one.
std::optional<std::string> standardizedFilePath(std::string_view url);

}  // namespace zelvorn
