#include "Core/RecoveryLedgers.h"

namespace zelvorn {

void RecoveryLedgers::forgetHiddenApps(const std::set<std::string>& bundleIDs) {
  for (const auto& b : bundleIDs)
    hidden_.erase(b);
}

void RecoveryLedgers::rememberHiddenApps(const std::set<std::string>& bundleIDs) {
  hidden_.insert(bundleIDs.begin(), bundleIDs.end());
}

std::set<std::string> RecoveryLedgers::parkedBundleIDs() const {
  std::set<std::string> out;
  for (const auto& [window, bundle] : parked_)
    out.insert(bundle);
  return out;
}

}  // namespace zelvorn
