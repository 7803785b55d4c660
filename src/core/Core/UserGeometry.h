// What the user does to a shown workspace's geometry and what the program keeps of it: the
// placement guard that tells the program's own moves from the user's, stored ratios, and the
// container frame saved per display arrangement. Snapping, drift correction and divider drags are
// still to come; their entry points exist so the show flow can call them.
#pragma once

#include <map>
#include <vector>

#include "Core/ControllerContext.h"

namespace zelvorn {

class UserGeometry {
 public:
  static constexpr Seconds kPlacementGuard = 0.4;
  static constexpr Seconds kPersistDelay = 0.5;

  explicit UserGeometry(ControllerContext& ctx) : ctx_(ctx) {}

  // Window events during the next 0.4 s are the program's own doing.
  void beginPlacementGuard();
  bool isPlacementGuarded() const { return placementGuardCount_ > 0; }
  // Stores the ratios tiling used when they differ from the stored ones.
  void persistRatiosIfChanged(const Workspace& workspace, const std::vector<double>& ratios);
  void logPlacementDeviation(const Workspace& workspace, const std::vector<AXRect>& rects);
  void scheduleSnap(const Uuid& workspaceID);
  void schedulePersist(const Uuid& workspaceID);
  // Saves the session's container as the workspace's last frame and its home for the displays.
  void persistContainerFrame(const Uuid& workspaceID);
  void cancelPersist(const Uuid& workspaceID);

 private:
  ControllerContext& ctx_;
  int placementGuardCount_ = 0;
  std::map<Uuid, TaskHandle> persistWorkItems_;
};

}  // namespace zelvorn
