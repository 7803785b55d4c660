// The displays of an X11 screen: one per RandR monitor (the primary first), each with its frame
// and its visible frame (the monitor within _NET_WORKAREA, which panels and docks reserve space
// outside of), converted to the Cocoa space the program's screen lists are kept in.
#pragma once

#include "Linux/X11Clients.h"
#include "Linux/X11Connection.h"
#include "Platform/IDisplays.h"

namespace zelvorn {

class X11Displays final : public IDisplays {
 public:
  X11Displays(X11Connection& x, X11Clients& clients) : x_(x), clients_(clients) {}
  std::vector<ScreenInfo> screens() const override;
  std::optional<std::size_t> mainScreenIndex() const override;

 private:
  X11Connection& x_;
  X11Clients& clients_;
};

}  // namespace zelvorn
