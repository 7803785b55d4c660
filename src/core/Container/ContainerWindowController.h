// The chrome of one shown workspace as a view-model: its frame, what it shows (title, layout,
// ratios, icons), which of its parts are visible, and the callbacks its gestures and menu lead to.
// The session controller configures it; a backend draws it. Drawing, dragging and the actions
// menu come later; for now it records state and forwards the callbacks.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Models/LayoutType.h"
#include "Platform/Geometry.h"
#include "Platform/Types.h"

namespace zelvorn {

class ContainerWindowController {
 public:
  struct Callbacks {
    std::function<void()> onRestore, onHide, onMaximizeToggled, onSolo, onSaveLayout,
        onResetWorkspace, onRelease, onQuitApps, onDividerDragBegan;
    std::function<void(int)> onMoveToScreen, onFocusPane;
    std::function<void(const AXRect&)> onContainerChanged;
    std::function<void(const std::vector<double>&)> onDividerCommitted;
  };

  Callbacks callbacks;

  std::string currentTitle;
  LayoutType currentLayoutType = LayoutType::leftRightSplit;
  int currentAppCount = 2;
  std::vector<double> currentRatios;
  std::vector<std::optional<Bytes>> currentAppIcons;
  CocoaRect containerCocoaRect;
  bool isMaximized = false;
  std::optional<CocoaRect> preMaximizeFrame;
  bool dividersHidden = false;
  bool paneShieldsHidden = false;
  bool isSoloed = false;

  bool isVisible() const { return isVisible_; }
  bool hasRailPanel() const { return hasRailPanel_; }

  void makeRailPanel() { hasRailPanel_ = true; }
  void applyGeometry(bool movingHeader);
  void orderFront();
  void orderOut();
  // Takes the ratios unless the layout has none to show.
  void syncRatios(const std::vector<double>& ratios);
  int geometryApplications() const { return geometryApplications_; }

 private:
  bool isVisible_ = false;
  bool hasRailPanel_ = false;
  int geometryApplications_ = 0;
};

}  // namespace zelvorn
