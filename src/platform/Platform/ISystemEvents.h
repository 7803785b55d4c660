// Notifications about other applications and the machine: launches, terminations, activations,
// screen changes, wake and session activation. Every handler runs on the main loop.
#pragma once

#include <functional>

#include "Platform/RunningApp.h"
#include "Platform/Subscription.h"

namespace zelvorn {

enum class SystemEvent {
  screenParametersChanged,
  didWake,
  screensDidWake,
  sessionDidBecomeActive,
  activeSpaceChanged,
};

class ISystemEvents {
 public:
  virtual ~ISystemEvents() = default;
  virtual Subscription onAppLaunched(std::function<void(const RunningApp&)> handler) = 0;
  virtual Subscription onAppTerminated(std::function<void(const RunningApp&)> handler) = 0;
  virtual Subscription onAppActivated(std::function<void(const RunningApp&)> handler) = 0;
  virtual Subscription on(SystemEvent event, std::function<void()> handler) = 0;
};

}  // namespace zelvorn
