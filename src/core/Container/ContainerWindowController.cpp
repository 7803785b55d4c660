#include "Container/ContainerWindowController.h"

namespace zelvorn {

void ContainerWindowController::applyGeometry(bool) {
  ++geometryApplications_;
}

void ContainerWindowController::orderFront() {
  if (!hasRailPanel_) return;
  isVisible_ = true;
}

void ContainerWindowController::orderOut() {
  isVisible_ = false;
}

void ContainerWindowController::syncRatios(const std::vector<double>& ratios) {
  if (currentLayoutType == LayoutType::mainSidebar || currentAppCount < 2 || ratios.empty()) return;
  currentRatios = ratios;
}

}  // namespace zelvorn
