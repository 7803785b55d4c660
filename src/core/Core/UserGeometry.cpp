#include "Core/UserGeometry.h"

#include "Core/ControllerScreens.h"
#include "Layout/WorkspaceGeometry.h"

namespace zelvorn {

void UserGeometry::beginPlacementGuard() {
  ++placementGuardCount_;
  ctx_.after(kPlacementGuard, [this] { --placementGuardCount_; });
}

void UserGeometry::persistRatiosIfChanged(const Workspace& workspace,
                                          const std::vector<double>& ratios) {
  if (ratios.empty() || ratios == WorkspaceGeometry::storedRatios(workspace)) return;
  auto current = ctx_.workspace(workspace.id);
  if (!current) return;
  current->layout.ratios = ratios;
  ctx_.manager.update(*current);
}

void UserGeometry::logPlacementDeviation(const Workspace&, const std::vector<AXRect>&) {}

void UserGeometry::scheduleSnap(const Uuid&) {}

void UserGeometry::schedulePersist(const Uuid& workspaceID) {
  cancelPersist(workspaceID);
  persistWorkItems_[workspaceID] =
      ctx_.after(kPersistDelay, [this, workspaceID] { persistContainerFrame(workspaceID); });
}

void UserGeometry::cancelPersist(const Uuid& workspaceID) {
  if (auto it = persistWorkItems_.find(workspaceID); it != persistWorkItems_.end()) {
    it->second.cancel();
    persistWorkItems_.erase(it);
  }
}

void UserGeometry::persistContainerFrame(const Uuid& workspaceID) {
  persistWorkItems_.erase(workspaceID);
  auto* session = ctx_.session(workspaceID);
  auto workspace = ctx_.workspace(workspaceID);
  if (!session || !session->containerAXRect || !workspace) return;
  RectModel frame = RectModel::from(*session->containerAXRect);
  workspace->lastContainerFrame = frame;
  if (auto topology = ctx_.screens->currentTopology()) {
    if (!workspace->topologyFrames) workspace->topologyFrames.emplace();
    (*workspace->topologyFrames)[*topology] = frame;
  }
  if (workspace != ctx_.workspace(workspaceID)) ctx_.manager.update(*workspace);
}

}  // namespace zelvorn
