// What the program changed in other applications, kept so that it can be given back: the apps it
// hid, the windows it parked, the pane bindings and the released workspaces. For now the entries
// live in memory only; the stores behind them come with the recovery work.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "Models/Uuid.h"
#include "Platform/Types.h"

namespace zelvorn {

class RecoveryLedgers {
 public:
  struct SavedWindowBinding {
    Uuid paneID;
    std::string bundleID;
    Pid pid = 0;
    std::optional<double> launchDate;  // seconds since 1970
    WindowNumber windowNumber = 0;
    bool operator==(const SavedWindowBinding&) const = default;
  };

  // --- Hidden applications ---
  const std::set<std::string>& hiddenAppBundleIDs() const { return hidden_; }
  void forgetHiddenApps(const std::set<std::string>& bundleIDs);
  void rememberHiddenApps(const std::set<std::string>& bundleIDs);

  // --- Parked windows ---
  bool isParked(WindowNumber window) const { return parked_.count(window) > 0; }
  void recordParked(WindowNumber window, const std::string& bundleID) {
    parked_[window] = bundleID;
  }
  void forgetParked(WindowNumber window) { parked_.erase(window); }
  std::set<std::string> parkedBundleIDs() const;

  // --- Pane bindings ---
  void recordBinding(const SavedWindowBinding& binding) { bindings_[binding.paneID] = binding; }
  void forgetBinding(const Uuid& paneID) { bindings_.erase(paneID); }
  const std::map<Uuid, SavedWindowBinding>& bindings() const { return bindings_; }
  void storeReleased(const std::set<Uuid>& released) { released_ = released; }
  const std::set<Uuid>& released() const { return released_; }

 private:
  std::set<std::string> hidden_;
  std::map<WindowNumber, std::string> parked_;
  std::map<Uuid, SavedWindowBinding> bindings_;
  std::set<Uuid> released_;
};

}  // namespace zelvorn
