#include "Sim/SimModalUI.h"

namespace zelvorn {

AlertResponse SimModalUI::runAlert(const AlertSpec& alert) {
  alerts_.push_back(alert);
  if (hook_) hook_(alert);
  if (script_.empty()) return {};
  AlertResponse r = script_.front();
  script_.pop_front();
  return r;
}

}  // namespace zelvorn
