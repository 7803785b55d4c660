// The main loop on simulated time. Tasks run in (due time, posting order); time moves only when a
// test, benchmark or the simulated desktop says so. `block` moves time without running anything:
// it models a synchronous call that holds the main thread, such as a hung application.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <vector>

#include "Platform/IMainLoop.h"

namespace zelvorn {

class VirtualMainLoop final : public IMainLoop {
 public:
  explicit VirtualMainLoop(WallTime wallAtStart = WallTime{1'800'000'000.0});

  Seconds now() const override { return now_; }
  WallTime wallNow() const override { return WallTime{wallOffset_ + now_}; }
  void post(std::function<void()> task) override;
  TaskHandle postAfter(Seconds delay, std::function<void()> task) override;
  TimerHandle scheduleRepeating(Seconds interval, std::function<void()> tick) override;
  void postFromAnyThread(std::function<void()> task) override;

  // Runs every task due within `seconds` from now, each at its own due time, then sets the clock
  // to now + seconds. Tasks scheduled while advancing run too when they fall inside the window.
  void advance(Seconds seconds);
  // Runs due tasks (advancing time to each) until nothing is queued or `limit` seconds have
  // passed; returns the number of tasks run. Repeating timers never go idle: the limit ends them.
  int runUntilIdle(Seconds limit = 60);
  // Moves time forward without running anything; what became due runs at the next advance.
  void block(Seconds seconds);
  // Sets calendar time, keeping the monotonic clock (simulates a machine clock change or a
  // relaunch at a later date).
  void setWallNow(WallTime t) { wallOffset_ = t.unixSeconds - now_; }

  std::size_t pendingCount() const;
  // Due time of the earliest pending task, if any.
  std::optional<Seconds> nextDueTime() const;

 private:
  struct Entry {
    Seconds due;
    std::uint64_t seq;
    std::function<void()> task;
    std::shared_ptr<ScheduledState> state;
    Seconds interval;  // > 0 for repeating timers
  };
  struct Later {
    bool operator()(const Entry& a, const Entry& b) const {
      return a.due != b.due ? a.due > b.due : a.seq > b.seq;
    }
  };

  void schedule(Seconds due, std::function<void()> task, std::shared_ptr<ScheduledState> state,
                Seconds interval);
  void drainForeign();
  // Pops and runs the next task due at or before `until`; false when there is none.
  bool runOne(Seconds until);

  Seconds now_ = 0;
  double wallOffset_;
  std::uint64_t nextSeq_ = 0;
  std::priority_queue<Entry, std::vector<Entry>, Later> queue_;
  std::mutex foreignMutex_;
  std::vector<std::function<void()>> foreign_;
};

}  // namespace zelvorn
