#include "Core/StageManagerGate.h"

namespace zelvorn {

bool StageManagerGate::refreshState() {
  lastCheck_ = ctx_.now();
  return false;
}

}  // namespace zelvorn
