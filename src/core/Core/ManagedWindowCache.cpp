#include "Core/ManagedWindowCache.h"

namespace zelvorn {

std::optional<AXElement> ManagedWindowCache::window(const Uuid& appID, Pid pid) const {
  auto it = entries_.find(appID);
  if (it == entries_.end() || it->second.pid != pid) return std::nullopt;
  return it->second.element;
}

std::vector<std::pair<Uuid, AXElement>> ManagedWindowCache::claimedEntries(
    Pid pid, const std::optional<Uuid>& excluding) const {
  std::vector<std::pair<Uuid, AXElement>> out;
  for (const auto& [id, entry] : entries_)
    if (entry.pid == pid && id != excluding) out.emplace_back(id, entry.element);
  return out;
}

}  // namespace zelvorn
