// Which shown workspace is in front and which is soloed, and the list of shown workspaces the
// menus observe. Resurfacing, the foreground guard and the tips card come later; their entry
// points exist so the show flow can call them.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Core/ControllerContext.h"
#include "Core/Published.h"

namespace zelvorn {

class FocusState {
 public:
  explicit FocusState(ControllerContext& ctx) : ctx_(ctx) {}

  void pulseChromeGuard() {}
  // Marks the workspace as the most recently brought to the front.
  void stampFront(const Uuid& workspaceID);
  // The shown workspace most recently in front, other than `except`.
  std::optional<Uuid> frontWorkspace(const std::optional<Uuid>& except = std::nullopt) const;
  void publishShownWorkspaces();
  const Published<std::vector<Uuid>>& shownWorkspaceIDs() const { return shown_; }
  void maybeShowWorkspaceTips(const Uuid&, bool /*hadFullScreenApps*/) {}

  const std::optional<Uuid>& soloWorkspaceID() const { return solo_; }
  void clearSolo() { solo_.reset(); }

 private:
  ControllerContext& ctx_;
  std::uint64_t frontCounter_ = 0;
  Published<std::vector<Uuid>> shown_;
  std::optional<Uuid> solo_;
};

}  // namespace zelvorn
