// Waiting for a shown workspace's windows: polls every 0.2 s, tiling what is ready between polls,
// gives up after 15 polls (75 while an app is still launching), then places everything once more
// and reports. Also what the chrome does while an app shows only a document chooser.
#pragma once

#include <optional>

#include "Core/ControllerContext.h"

namespace zelvorn {

class TilingWaiter {
 public:
  static constexpr Seconds kPollInterval = 0.2;
  static constexpr int kMaxPolls = 15;
  static constexpr int kMaxPollsWhileLaunching = 75;
  static constexpr Seconds kSlowRead = 0.15;

  explicit TilingWaiter(ControllerContext& ctx) : ctx_(ctx) {}

  void tileWhenWindowsReady(const Uuid& workspaceID, int attempt, int launchWaits,
                            int placedWindowCount);
  void tileAndReport(const Workspace& workspace);

  bool workspaceHasChooserUp(const Workspace& workspace);
  void updateLoadingChrome(const Uuid& workspaceID);
  void noteOwnChooser(const AXWindowController::WindowInfo& dialog, const Uuid& workspaceID);

 private:
  void hideShieldsAndDividers(const Uuid& workspaceID);
  void finish(const Workspace& workspace);

  ControllerContext& ctx_;
};

}  // namespace zelvorn
