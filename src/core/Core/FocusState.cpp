#include "Core/FocusState.h"

namespace zelvorn {

void FocusState::stampFront(const Uuid& workspaceID) {
  if (auto* session = ctx_.session(workspaceID)) session->frontOrder = ++frontCounter_;
}

std::optional<Uuid> FocusState::frontWorkspace(const std::optional<Uuid>& except) const {
  std::optional<Uuid> best;
  std::uint64_t bestOrder = 0;
  for (const auto& [id, session] : ctx_.sessions) {
    if (id == except) continue;
    if (!best || session.frontOrder > bestOrder) {
      best = id;
      bestOrder = session.frontOrder;
    }
  }
  return best;
}

void FocusState::publishShownWorkspaces() {
  std::vector<Uuid> ids;
  for (const auto& w : ctx_.manager.workspaces())
    if (ctx_.sessions.count(w.id)) ids.push_back(w.id);
  if (ids != shown_.value()) shown_ = ids;
}

}  // namespace zelvorn
