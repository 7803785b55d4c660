#include "Core/WindowBinding.h"

namespace zelvorn {

std::optional<WindowBinding::ResolvedWindow> WindowBinding::resolveWindow(
    const ManagedApp& pane, const RunningApp& running) {
  if (auto cached = ctx_.windowCache.window(pane.id, running.pid))
    return ResolvedWindow{*cached, false};
  auto windows = ctx_.axController.manageableWindows(running.pid);
  if (windows.empty()) return std::nullopt;
  // Another pane of the same process keeps the window it already has.
  std::set<std::size_t> claimed;
  std::vector<bool> isMain;
  auto others = ctx_.windowCache.claimedEntries(running.pid, pane.id);
  for (std::size_t i = 0; i < windows.size(); ++i) {
    isMain.push_back(windows[i].isMain);
    for (const auto& [id, element] : others)
      if (element == windows[i].element) claimed.insert(i);
  }
  auto index = AXWindowController::selectBindableIndex(isMain, claimed);
  if (!index) return std::nullopt;
  const auto& chosen = windows[*index];
  bindPane(pane, chosen.element, running);
  return ResolvedWindow{chosen.element, chosen.isFullScreen};
}

void WindowBinding::bindPane(const ManagedApp& pane, const AXElement& window,
                             const RunningApp& running) {
  ctx_.windowCache.set(pane.id, running.pid, window);
  auto number = ctx_.axController.windowNumber(window);
  if (!number) {
    ctx_.ledgers.forgetBinding(pane.id);
    return;
  }
  std::optional<double> launchDate;
  if (running.launchDate) launchDate = running.launchDate->unixSeconds;
  ctx_.ledgers.recordBinding({pane.id, pane.bundleIdentifier, running.pid, launchDate, *number});
}

}  // namespace zelvorn
