// Reports a changed set of displays once the system has settled. Screens come and go in bursts
// (a dock attaching, the lid closing, waking from sleep), so every screen, wake or session event
// only pushes the settle time out; when it passes, the fingerprint is read and compared with the
// last one. Owned by the session controller, which moves workspaces in `onChange`.
#pragma once

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/IDisplays.h"
#include "Platform/IMainLoop.h"
#include "Platform/ISystemEvents.h"

namespace zelvorn {

class DisplayTopologyWatcher {
 public:
  using Fingerprint = std::optional<std::string>;
  using Reader = std::function<Fingerprint()>;
  using ChangeHandler =
      std::function<void(const Fingerprint& previous, const Fingerprint& current)>;

  static constexpr Seconds kScreenSettle = 0.8;
  static constexpr Seconds kWakeSettle = 2.5;

  DisplayTopologyWatcher(IMainLoop& loop, ISystemEvents& events, Reader readFingerprint,
                         ChangeHandler onChange, std::function<void()> onSettled = {},
                         Seconds screenSettle = kScreenSettle, Seconds wakeSettle = kWakeSettle);
  ~DisplayTopologyWatcher();
  DisplayTopologyWatcher(const DisplayTopologyWatcher&) = delete;
  DisplayTopologyWatcher& operator=(const DisplayTopologyWatcher&) = delete;

  // The fingerprint of the displays' current screens.
  static Reader screensReader(const IDisplays& displays);

  // Starts observing. The first settle after starting only records the fingerprint as the one to
  // compare with; one is armed at once, so that baseline never waits for the first real change.
  void start();
  void stop();
  bool isStarted() const { return !observers_.empty(); }

  const Fingerprint& lastReported() const { return lastReported_; }
  bool hasReported() const { return hasReported_; }

 private:
  void observe(SystemEvent event, Seconds settle);
  void noteEvent(Seconds settle);
  void arm();
  void settleFired();

  IMainLoop& loop_;
  ISystemEvents& events_;
  Reader readFingerprint_;
  ChangeHandler onChange_;
  std::function<void()> onSettled_;
  Seconds screenSettle_;
  Seconds wakeSettle_;

  std::vector<Subscription> observers_;
  TaskHandle pending_;
  Seconds settleAt_ = -std::numeric_limits<Seconds>::infinity();
  Fingerprint lastReported_;
  bool hasReported_ = false;
  // Delayed work holds this weakly, so a settle that outlives the watcher does nothing.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace zelvorn
