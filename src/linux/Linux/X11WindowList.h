// The window list over EWMH: the managed windows front to back from _NET_CLIENT_LIST_STACKING,
// each with its owner, layer and frame in AX space. The program's own managed windows are listed
// too, under its own pid, as the core filters them by pid where it must.
#pragma once

#include "Linux/X11Clients.h"
#include "Linux/X11Connection.h"
#include "Platform/IWindowList.h"

namespace zelvorn {

class X11WindowList final : public IWindowList {
 public:
  X11WindowList(X11Connection& x, X11Clients& clients) : x_(x), clients_(clients) {}
  std::optional<std::vector<WindowListEntry>> copyWindowList(unsigned options) override;

 private:
  X11Connection& x_;
  X11Clients& clients_;
};

}  // namespace zelvorn
