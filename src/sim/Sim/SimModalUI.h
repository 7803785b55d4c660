// The simulated modal interface: records every alert shown and answers from a script (the next
// scripted response, else the first button). Tests and the demo read what the user would have
// seen.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "Platform/IModalUI.h"

namespace zelvorn {

class SimModalUI final : public IModalUI {
 public:
  AlertResponse runAlert(const AlertSpec& alert) override;
  void activateProgram() override { ++activations_; }
  bool isProgramActiveWithKeyWindow() override { return activeWithKeyWindow_; }

  // Responses for the next alerts, in order.
  void script(AlertResponse response) { script_.push_back(response); }
  // Runs while an alert is up (after it was recorded), e.g. to change the desktop meanwhile.
  void onAlert(std::function<void(const AlertSpec&)> hook) { hook_ = std::move(hook); }
  void setActiveWithKeyWindow(bool on) { activeWithKeyWindow_ = on; }

  const std::vector<AlertSpec>& alerts() const { return alerts_; }
  void clear() { alerts_.clear(); }
  int activations() const { return activations_; }

 private:
  std::vector<AlertSpec> alerts_;
  std::deque<AlertResponse> script_;
  std::function<void(const AlertSpec&)> hook_;
  int activations_ = 0;
  bool activeWithKeyWindow_ = false;
};

}  // namespace zelvorn
