// The simulated window server's window list: the desktop's live windows front to back, filtered
// by the on-screen and desktop-element options. Every call is recorded.
#pragma once

#include "Platform/IWindowList.h"

namespace zelvorn {

class SimDesktop;

class SimWindowList final : public IWindowList {
 public:
  explicit SimWindowList(SimDesktop& desktop) : desktop_(desktop) {}
  std::optional<std::vector<WindowListEntry>> copyWindowList(unsigned options) override;

 private:
  SimDesktop& desktop_;
};

}  // namespace zelvorn
