#include "Sim/VirtualMainLoop.h"

#include <algorithm>

namespace zelvorn {

VirtualMainLoop::VirtualMainLoop(WallTime wallAtStart) : wallOffset_(wallAtStart.unixSeconds) {}

void VirtualMainLoop::schedule(Seconds due, std::function<void()> task,
                               std::shared_ptr<ScheduledState> state, Seconds interval) {
  queue_.push(Entry{due, nextSeq_++, std::move(task), std::move(state), interval});
}

void VirtualMainLoop::post(std::function<void()> task) {
  schedule(now_, std::move(task), nullptr, 0);
}

TaskHandle VirtualMainLoop::postAfter(Seconds delay, std::function<void()> task) {
  auto state = std::make_shared<ScheduledState>();
  schedule(now_ + std::max(0.0, delay), std::move(task), state, 0);
  return TaskHandle(state);
}

TimerHandle VirtualMainLoop::scheduleRepeating(Seconds interval, std::function<void()> tick) {
  auto state = std::make_shared<ScheduledState>();
  // A zero interval would spin forever on one instant; the smallest step keeps time moving.
  Seconds step = std::max(interval, 1e-6);
  schedule(now_ + step, std::move(tick), state, step);
  return TimerHandle(state);
}

void VirtualMainLoop::postFromAnyThread(std::function<void()> task) {
  std::lock_guard lock(foreignMutex_);
  foreign_.push_back(std::move(task));
}

void VirtualMainLoop::drainForeign() {
  std::vector<std::function<void()>> taken;
  {
    std::lock_guard lock(foreignMutex_);
    taken.swap(foreign_);
  }
  for (auto& t : taken)
    post(std::move(t));
}

bool VirtualMainLoop::runOne(Seconds until) {
  drainForeign();
  while (!queue_.empty()) {
    if (queue_.top().due > until) return false;
    Entry e = queue_.top();
    queue_.pop();
    if (e.state && e.state->cancelled) continue;
    now_ = std::max(now_, e.due);
    if (e.interval > 0) {
      // Re-arm before running so the tick may invalidate its own timer.
      schedule(std::max(e.due + e.interval, now_), e.task, e.state, e.interval);
    } else if (e.state) {
      e.state->finished = true;
    }
    e.task();
    return true;
  }
  return false;
}

void VirtualMainLoop::advance(Seconds seconds) {
  Seconds until = now_ + std::max(0.0, seconds);
  while (runOne(until)) {
  }
  now_ = std::max(now_, until);
}

int VirtualMainLoop::runUntilIdle(Seconds limit) {
  Seconds until = now_ + limit;
  int ran = 0;
  while (runOne(until))
    ++ran;
  return ran;
}

void VirtualMainLoop::block(Seconds seconds) {
  now_ += std::max(0.0, seconds);
}

std::size_t VirtualMainLoop::pendingCount() const {
  return queue_.size();
}

std::optional<Seconds> VirtualMainLoop::nextDueTime() const {
  if (queue_.empty()) return std::nullopt;
  return queue_.top().due;
}

}  // namespace zelvorn
