// Whether the system's window grouping (Stage Manager) or an application's native full screen
// stands in the way of tiling. For now Stage Manager is taken to be off and full-screen apps are
// only recorded; the preference watch, the block prompts and the chrome reconciliation come later.
#pragma once

#include <string>
#include <vector>

#include "Core/ControllerContext.h"

namespace zelvorn {

class StageManagerGate {
 public:
  struct FullScreenBlock {
    Uuid workspaceID;
    std::vector<std::string> apps;
    bool operator==(const FullScreenBlock&) const = default;
  };

  explicit StageManagerGate(ControllerContext& ctx) : ctx_(ctx) {}

  // Re-reads the setting; answers whether it changed (running the transition when it did).
  bool refreshState();
  bool isEnabled() const { return enabled_; }
  void startWatchesIfNeeded() {}
  void presentStageManagerBlock(const Uuid&) {}
  void reconcileFullScreenChrome(const Uuid&) {}
  void presentFullScreenBlock(const Uuid& workspaceID, const std::vector<std::string>& apps) {
    fullScreenBlocks_.push_back({workspaceID, apps});
  }
  const std::vector<FullScreenBlock>& fullScreenBlocks() const { return fullScreenBlocks_; }

 private:
  ControllerContext& ctx_;
  bool enabled_ = false;
  Seconds lastCheck_ = 0;
  std::vector<FullScreenBlock> fullScreenBlocks_;
};

}  // namespace zelvorn
