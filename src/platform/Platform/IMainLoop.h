// The main loop: the program's one thread. Every callback, completion and notification reaches the
// core through it; delays are cancellable tasks and repeating timers on it. A virtual
// implementation runs the same code on simulated time.
#pragma once

#include <functional>
#include <memory>

#include "Platform/Types.h"

namespace zelvorn {

// Shared between a scheduled task and the handles given out for it.
struct ScheduledState {
  bool cancelled = false;
  bool finished = false;  // ran (one-shot) or was invalidated
};

// A one-shot delayed task. Cancelling is a no-op once it ran or was cancelled. An empty handle is
// never pending.
class TaskHandle {
 public:
  TaskHandle() = default;
  explicit TaskHandle(std::shared_ptr<ScheduledState> s) : state_(std::move(s)) {}
  void cancel() {
    if (state_) state_->cancelled = true;
  }
  bool isPending() const { return state_ && !state_->cancelled && !state_->finished; }

 private:
  std::shared_ptr<ScheduledState> state_;
};

// A repeating timer; invalidating it stops further ticks.
class TimerHandle {
 public:
  TimerHandle() = default;
  explicit TimerHandle(std::shared_ptr<ScheduledState> s) : state_(std::move(s)) {}
  void invalidate() {
    if (state_) state_->cancelled = true;
  }
  bool isValid() const { return state_ && !state_->cancelled; }

 private:
  std::shared_ptr<ScheduledState> state_;
};

class IMainLoop {
 public:
  virtual ~IMainLoop() = default;

  // Monotonic seconds: every delay, deadline and throttle is measured on this clock.
  virtual Seconds now() const = 0;
  // Calendar time, for stored dates and log stamps.
  virtual WallTime wallNow() const = 0;

  // Runs the task on a later turn of the loop, after tasks posted before it.
  virtual void post(std::function<void()> task) = 0;
  // Runs the task once `delay` seconds have passed (a negative delay counts as 0).
  virtual TaskHandle postAfter(Seconds delay, std::function<void()> task) = 0;
  // Runs `tick` every `interval` seconds, the first time one interval from now.
  virtual TimerHandle scheduleRepeating(Seconds interval, std::function<void()> tick) = 0;
  // The only member callable from another thread: hops the task onto the main loop.
  virtual void postFromAnyThread(std::function<void()> task) = 0;
};

}  // namespace zelvorn
