// Layers follow the window type: docks and panels sit above ordinary windows (as the menu bar and
// dock do elsewhere), desktop windows below; windows kept above others get a layer of their own.
#include "Linux/X11WindowList.h"

#include <algorithm>

namespace zelvorn {

std::optional<std::vector<WindowListEntry>> X11WindowList::copyWindowList(unsigned options) {
  if (!x_.supportingWMCheck()) return std::nullopt;
  auto* ewmh = x_.ewmh();
  auto stacking = x_.clientListStacking();
  Point o = x_.axOrigin();
  std::vector<WindowListEntry> out;
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
    auto f = x_.facts(*it);
    // A window the window manager still lists but that is gone (its end not yet announced).
    auto g = x_.geometry(*it);
    if (!f.exists || !g) continue;
    auto hasType = [&](xcb_atom_t a) {
      return std::find(f.types.begin(), f.types.end(), a) != f.types.end();
    };
    auto hasState = [&](xcb_atom_t a) {
      return std::find(f.states.begin(), f.states.end(), a) != f.states.end();
    };
    bool desktop = hasType(ewmh->_NET_WM_WINDOW_TYPE_DESKTOP);
    if ((options & WindowListOption::excludeDesktopElements) && desktop) continue;
    if ((options & WindowListOption::onScreenOnly) &&
        (f.iconic || hasState(ewmh->_NET_WM_STATE_HIDDEN)))
      continue;
    WindowListEntry e;
    e.number = *it;
    Pid pid = clients_.pidOfWindow(*it).value_or(f.pid);
    if (pid != 0) e.ownerPid = pid;
    if (hasType(ewmh->_NET_WM_WINDOW_TYPE_DOCK))
      e.layer = 20;
    else if (desktop)
      e.layer = -20;
    else if (hasState(ewmh->_NET_WM_STATE_ABOVE))
      e.layer = 3;
    else
      e.layer = 0;
    Rect r = g->frame();
    e.bounds = AXRect{r.x - o.x, r.y - o.y, r.width, r.height};
    if (!f.className.empty()) e.ownerName = f.className;
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace zelvorn
