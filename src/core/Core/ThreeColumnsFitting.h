// Fitting a three-column workspace to its applications' own widths: folding it into one left and
// two right when the columns do not fit, and learning the apps' minimum sizes after a placement.
// Not yet done: the fold leaves the workspace as it is and nothing is learnt.
#pragma once

#include <optional>

#include "Core/ControllerContext.h"

namespace zelvorn {

class ThreeColumnsFitting {
 public:
  explicit ThreeColumnsFitting(ControllerContext& ctx) : ctx_(ctx) {}

  void beginThreeColumnsOperation(const Uuid&) {}
  Workspace applyThreeColumnsFold(const Workspace& workspace, const std::optional<AXRect>&,
                                  bool /*force*/) {
    return workspace;
  }
  void scheduleLearnAppMinimums(const Uuid&) {}

 private:
  [[maybe_unused]] ControllerContext& ctx_;
};

}  // namespace zelvorn
