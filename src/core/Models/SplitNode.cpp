#include "Models/SplitNode.h"

namespace zelvorn {

bool SplitBranch::operator==(const SplitBranch& other) const {
  return direction == other.direction && ratio == other.ratio && children == other.children;
}

}  // namespace zelvorn
