// The geometry the save-layout command stores and the restore-layout command brings back: the
// container rectangle (AX space) and the split ratios.
#pragma once

#include <optional>
#include <vector>

#include "Models/RectModel.h"

namespace zelvorn {

struct LayoutCheckpoint {
  RectModel containerFrame;
  std::optional<std::vector<double>> ratios;

  bool operator==(const LayoutCheckpoint&) const = default;
};

}  // namespace zelvorn
