// Pane id → the window last bound to that pane and its process. Placement and binding consult it
// before looking at an application's windows again.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "Models/Uuid.h"
#include "Platform/IAccessibility.h"
#include "Platform/Types.h"

namespace zelvorn {

class ManagedWindowCache {
 public:
  struct Entry {
    Pid pid = 0;
    AXElement element;
    bool operator==(const Entry&) const = default;
  };

  // The cached window of the pane, only while it belongs to that process.
  std::optional<AXElement> window(const Uuid& appID, Pid pid) const;
  void set(const Uuid& appID, Pid pid, AXElement element) { entries_[appID] = {pid, element}; }
  void invalidate(const Uuid& appID) { entries_.erase(appID); }
  // Every entry of the process except the given pane's.
  std::vector<std::pair<Uuid, AXElement>> claimedEntries(
      Pid pid, const std::optional<Uuid>& excluding) const;
  const std::map<Uuid, Entry>& entries() const { return entries_; }

 private:
  std::map<Uuid, Entry> entries_;
};

}  // namespace zelvorn
