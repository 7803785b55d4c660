#include "Models/Workspace.h"

namespace zelvorn {

std::optional<std::size_t> Workspace::primaryAppIndex() const {
  if (primaryAppID) {
    for (std::size_t i = 0; i < apps.size(); ++i)
      if (apps[i].id == *primaryAppID) return i;
  }
  if (primaryAppBundleIdentifier) {
    for (std::size_t i = 0; i < apps.size(); ++i)
      if (apps[i].bundleIdentifier == *primaryAppBundleIdentifier) return i;
  }
  if (!apps.empty()) return 0;
  return std::nullopt;
}

std::optional<ManagedApp> Workspace::primaryApp() const {
  if (auto i = primaryAppIndex()) return apps[*i];
  return std::nullopt;
}

std::optional<AXRect> Workspace::homeFrame(const std::optional<std::string>& topology) const {
  if (!topology || !topologyFrames) return std::nullopt;
  auto it = topologyFrames->find(*topology);
  if (it == topologyFrames->end()) return std::nullopt;
  if (!(it->second.width > 0) || !(it->second.height > 0)) return std::nullopt;
  return it->second.axRect();
}

std::string Workspace::appsSummary() const {
  if (apps.empty()) return "No apps";
  std::string out;
  for (std::size_t i = 0; i < apps.size(); ++i) {
    if (i > 0) out += ", ";
    out += apps[i].displayName;
  }
  return out;
}

}  // namespace zelvorn
