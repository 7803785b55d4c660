#include "Sim/SimWindowList.h"

#include "Sim/SimDesktop.h"

namespace zelvorn {

std::optional<std::vector<WindowListEntry>> SimWindowList::copyWindowList(unsigned options) {
  auto& d = desktop_;
  d.recorder_.record({SimCallKind::windowList, "copyWindowList", 0, 0,
                      static_cast<std::int64_t>(options), kAXErrorSuccess, d.loop_.now()});
  if (!d.windowListAvailable_) return std::nullopt;
  std::vector<WindowListEntry> out;
  for (auto number : d.stackingOrder()) {
    const auto& w = d.windows_.at(number);
    const auto* proc = d.process(w.pid);
    if (options & WindowListOption::onScreenOnly) {
      if (w.desc.minimized || !w.desc.onCurrentSpace || !proc || proc->facts.isHidden) continue;
    }
    if ((options & WindowListOption::excludeDesktopElements) && w.desc.desktopElement) continue;
    WindowListEntry e;
    e.number = number;
    e.ownerPid = w.pid;
    e.layer = w.desc.layer;
    e.bounds = w.desc.frame;
    if (proc) e.ownerName = proc->facts.localizedName;
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace zelvorn
