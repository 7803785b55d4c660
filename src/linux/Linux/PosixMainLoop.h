// The real main loop: one thread sleeping in poll() until a watched file descriptor is readable,
// the earliest task falls due, or another thread posts. With nothing scheduled it sleeps without a
// time-out, so an idle program costs no wake-ups. Serves every real backend and the executable.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <vector>

#include "Platform/IMainLoop.h"
#include "Platform/Subscription.h"

namespace zelvorn {

class PosixMainLoop final : public IMainLoop {
 public:
  PosixMainLoop();
  ~PosixMainLoop() override;
  PosixMainLoop(const PosixMainLoop&) = delete;
  PosixMainLoop& operator=(const PosixMainLoop&) = delete;

  Seconds now() const override;
  WallTime wallNow() const override;
  void post(std::function<void()> task) override;
  TaskHandle postAfter(Seconds delay, std::function<void()> task) override;
  TimerHandle scheduleRepeating(Seconds interval, std::function<void()> tick) override;
  void postFromAnyThread(std::function<void()> task) override;

  // Calls `onReadable` on the loop whenever `fd` has data (or hangs up); the subscription stops it.
  Subscription watchReadable(int fd, std::function<void()> onReadable);
  // Runs before every sleep: a connection that buffers input on its own (xcb reads events while
  // waiting for replies) drains that buffer here, since poll() would not report it.
  Subscription beforeSleep(std::function<void()> hook);

  // Runs until quit() is called (from the loop or, through postFromAnyThread, from elsewhere).
  void run();
  void quit();
  // Runs until `done` answers true or `limit` seconds passed; answers `done()` at the end.
  bool runUntil(const std::function<bool()>& done, Seconds limit);
  // One turn: runs what is due, else sleeps at most `maxWait` seconds (none: until something
  // happens) and runs what woke it. Answers whether anything ran.
  bool runOnce(std::optional<Seconds> maxWait);

  // How often poll() returned because its time-out expired: the timer wake-ups.
  std::uint64_t timeoutWakeups() const { return timeoutWakeups_; }
  std::uint64_t sleeps() const { return sleeps_; }

 private:
  struct Entry {
    Seconds due;
    std::uint64_t seq;
    std::function<void()> task;
    std::shared_ptr<ScheduledState> state;
    Seconds interval;
  };
  struct Later {
    bool operator()(const Entry& a, const Entry& b) const {
      return a.due != b.due ? a.due > b.due : a.seq > b.seq;
    }
  };
  struct Watch {
    std::uint64_t id;
    int fd;
    std::shared_ptr<std::function<void()>> onReadable;
  };

  void schedule(Seconds due, std::function<void()> task, std::shared_ptr<ScheduledState> state,
                Seconds interval);
  bool runDue();
  bool drainForeign();

  std::priority_queue<Entry, std::vector<Entry>, Later> queue_;
  std::uint64_t nextSeq_ = 0;
  std::vector<Watch> watches_;
  std::vector<std::pair<std::uint64_t, std::shared_ptr<std::function<void()>>>> hooks_;
  std::uint64_t nextId_ = 1;
  int wakeFd_ = -1;
  std::mutex foreignMutex_;
  std::vector<std::function<void()>> foreign_;
  bool quit_ = false;
  std::uint64_t timeoutWakeups_ = 0;
  std::uint64_t sleeps_ = 0;
};

}  // namespace zelvorn
