#include "Layout/DisplayTopologyWatcher.h"

#include <algorithm>
#include <utility>

#include "Layout/DisplayTopology.h"

namespace zelvorn {

DisplayTopologyWatcher::DisplayTopologyWatcher(IMainLoop& loop, ISystemEvents& events,
                                               Reader readFingerprint, ChangeHandler onChange,
                                               std::function<void()> onSettled,
                                               Seconds screenSettle, Seconds wakeSettle)
    : loop_(loop),
      events_(events),
      readFingerprint_(std::move(readFingerprint)),
      onChange_(std::move(onChange)),
      onSettled_(std::move(onSettled)),
      screenSettle_(screenSettle),
      wakeSettle_(wakeSettle) {}

DisplayTopologyWatcher::~DisplayTopologyWatcher() {
  stop();
}

DisplayTopologyWatcher::Reader DisplayTopologyWatcher::screensReader(const IDisplays& displays) {
  return [&displays] { return DisplayTopology::currentFingerprint(displays.screens()); };
}

void DisplayTopologyWatcher::start() {
  if (isStarted()) return;
  lastReported_ = readFingerprint_ ? readFingerprint_() : std::nullopt;
  hasReported_ = false;
  observe(SystemEvent::screenParametersChanged, screenSettle_);
  observe(SystemEvent::didWake, wakeSettle_);
  observe(SystemEvent::screensDidWake, wakeSettle_);
  observe(SystemEvent::sessionDidBecomeActive, wakeSettle_);
  noteEvent(screenSettle_);
}

void DisplayTopologyWatcher::stop() {
  observers_.clear();
  pending_.cancel();
  pending_ = {};
  settleAt_ = -std::numeric_limits<Seconds>::infinity();
}

void DisplayTopologyWatcher::observe(SystemEvent event, Seconds settle) {
  observers_.push_back(events_.on(event, [this, settle] { noteEvent(settle); }));
}

void DisplayTopologyWatcher::noteEvent(Seconds settle) {
  // A later event may push the settle out, never bring it forward.
  settleAt_ = std::max(settleAt_, loop_.now() + settle);
  arm();
}

void DisplayTopologyWatcher::arm() {
  pending_.cancel();
  std::weak_ptr<char> alive = alive_;
  pending_ = loop_.postAfter(std::max(settleAt_ - loop_.now(), 0.05), [this, alive] {
    if (alive.lock()) settleFired();
  });
}

void DisplayTopologyWatcher::settleFired() {
  pending_ = {};
  if (loop_.now() < settleAt_ - 0.02) {
    arm();
    return;
  }
  Fingerprint current = readFingerprint_ ? readFingerprint_() : std::nullopt;
  if (!hasReported_) {
    lastReported_ = std::move(current);
    hasReported_ = true;
    return;
  }
  std::weak_ptr<char> alive = alive_;
  if (current != lastReported_) {
    Fingerprint previous = std::exchange(lastReported_, current);
    if (onChange_) onChange_(previous, current);
    if (!alive.lock()) return;  // the handler may end the watcher's owner
  }
  if (onSettled_) onSettled_();
}

}  // namespace zelvorn
