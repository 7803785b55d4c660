// Which window belongs to which pane: the choice of a pane's window, the record of that choice,
// and the checks and prompts for applications short of windows. For now a pane takes its cached
// window, else the application's main window not bound to another pane of the process; sharing
// between workspaces, documents, the shortfall prompts and the reconcile sweep come later.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Core/ControllerContext.h"
#include "Platform/RunningApp.h"

namespace zelvorn {

class WindowBinding {
 public:
  struct ResolvedWindow {
    AXElement element;
    bool isFullScreen = false;  // unknown (false) when it came from the cache
    bool operator==(const ResolvedWindow&) const = default;
  };

  enum class Shortfall { none, moveHere, needsWindows, onlyOneActive };

  struct ShortOfWindows {
    std::string appName;
    std::string bundleID;
    int panes = 0;
    int windows = 0;
    int allWindows = 0;
    Shortfall kind = Shortfall::none;
    std::set<Uuid> holders;
    bool operator==(const ShortOfWindows&) const = default;
  };

  explicit WindowBinding(ControllerContext& ctx) : ctx_(ctx) {}

  std::optional<ResolvedWindow> resolveWindow(const ManagedApp& pane, const RunningApp& running);
  void bindPane(const ManagedApp& pane, const AXElement& window, const RunningApp& running);
  std::vector<ShortOfWindows> appsShortOfWindows(const Workspace&, const std::set<std::string>&) {
    return {};
  }
  void presentShortOfWindowsBlock(const Uuid&, const std::vector<ShortOfWindows>&,
                                  std::function<void()> /*onRetry*/) {}
  void inviteWindowlessApps(const Workspace&, bool /*reopenApps*/) {}
  void resetReconcileSweep() {}
  void runReconcileSweep() {}

 private:
  ControllerContext& ctx_;
};

}  // namespace zelvorn
