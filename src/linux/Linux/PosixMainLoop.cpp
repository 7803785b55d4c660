// The real main loop over poll(), an eventfd for posts from other threads and a time-ordered queue
// of tasks; the poll time-out is the distance to the earliest due task, or infinite.
#include "Linux/PosixMainLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>

namespace zelvorn {

PosixMainLoop::PosixMainLoop() {
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

PosixMainLoop::~PosixMainLoop() {
  if (wakeFd_ >= 0) close(wakeFd_);
}

Seconds PosixMainLoop::now() const {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

WallTime PosixMainLoop::wallNow() const {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return WallTime{static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9};
}

void PosixMainLoop::schedule(Seconds due, std::function<void()> task,
                             std::shared_ptr<ScheduledState> state, Seconds interval) {
  queue_.push(Entry{due, nextSeq_++, std::move(task), std::move(state), interval});
}

void PosixMainLoop::post(std::function<void()> task) {
  // Due "now" keeps posting order among tasks posted in the same instant and runs them before
  // anything due later.
  schedule(now(), std::move(task), std::make_shared<ScheduledState>(), 0);
}

TaskHandle PosixMainLoop::postAfter(Seconds delay, std::function<void()> task) {
  auto state = std::make_shared<ScheduledState>();
  schedule(now() + std::max(0.0, delay), std::move(task), state, 0);
  return TaskHandle(state);
}

TimerHandle PosixMainLoop::scheduleRepeating(Seconds interval, std::function<void()> tick) {
  auto state = std::make_shared<ScheduledState>();
  // A non-positive interval would spin the loop; a millisecond is the shortest tick it keeps.
  Seconds step = std::max(interval, 0.001);
  schedule(now() + step, std::move(tick), state, step);
  return TimerHandle(state);
}

void PosixMainLoop::postFromAnyThread(std::function<void()> task) {
  {
    std::lock_guard lock(foreignMutex_);
    foreign_.push_back(std::move(task));
  }
  std::uint64_t one = 1;
  [[maybe_unused]] auto n = write(wakeFd_, &one, sizeof one);
}

Subscription PosixMainLoop::watchReadable(int fd, std::function<void()> onReadable) {
  std::uint64_t id = nextId_++;
  watches_.push_back(Watch{id, fd, std::make_shared<std::function<void()>>(std::move(onReadable))});
  return Subscription(
      [this, id] { std::erase_if(watches_, [id](const Watch& w) { return w.id == id; }); });
}

Subscription PosixMainLoop::beforeSleep(std::function<void()> hook) {
  std::uint64_t id = nextId_++;
  hooks_.emplace_back(id, std::make_shared<std::function<void()>>(std::move(hook)));
  return Subscription(
      [this, id] { std::erase_if(hooks_, [id](const auto& h) { return h.first == id; }); });
}

bool PosixMainLoop::drainForeign() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(foreignMutex_);
    tasks.swap(foreign_);
  }
  for (auto& t : tasks)
    post(std::move(t));
  return !tasks.empty();
}

// Runs every task due now, including ones they post for now; answers whether any ran.
bool PosixMainLoop::runDue() {
  bool ran = false;
  Seconds t = now();
  // Bounded by what was queued when the turn began, so a task that re-posts itself cannot starve
  // the file descriptors.
  std::size_t budget = queue_.size();
  while (budget-- > 0 && !queue_.empty() && queue_.top().due <= t) {
    Entry e = queue_.top();
    queue_.pop();
    if (e.state->cancelled) continue;
    if (e.interval > 0) {
      auto task = e.task;
      schedule(e.due + e.interval, e.task, e.state, e.interval);
      task();
    } else {
      e.state->finished = true;
      e.task();
    }
    ran = true;
  }
  return ran;
}

bool PosixMainLoop::runOnce(std::optional<Seconds> maxWait) {
  bool ran = drainForeign();
  ran = runDue() || ran;
  if (ran) return true;

  for (auto hooks = hooks_; auto& [id, hook] : hooks)
    (*hook)();
  if (runDue()) return true;

  // Drop cancelled tasks at the front so they do not cause wake-ups of their own.
  while (!queue_.empty() && queue_.top().state->cancelled)
    queue_.pop();
  int timeoutMs = -1;
  std::optional<Seconds> wait = maxWait;
  if (!queue_.empty()) {
    Seconds untilDue = std::max(0.0, queue_.top().due - now());
    wait = wait ? std::min(*wait, untilDue) : untilDue;
  }
  if (wait) timeoutMs = static_cast<int>(std::ceil(*wait * 1000));

  std::vector<pollfd> fds;
  fds.push_back(pollfd{wakeFd_, POLLIN, 0});
  auto watches = watches_;
  for (auto& w : watches)
    fds.push_back(pollfd{w.fd, POLLIN, 0});
  ++sleeps_;
  int n = poll(fds.data(), fds.size(), timeoutMs);
  if (n == 0) ++timeoutWakeups_;
  if (n > 0) {
    if (fds[0].revents) {
      std::uint64_t count = 0;
      [[maybe_unused]] auto r = read(wakeFd_, &count, sizeof count);
    }
    for (std::size_t i = 0; i < watches.size(); ++i) {
      if (!fds[i + 1].revents) continue;
      // Only watches still installed: an earlier callback may have removed this one.
      bool live = std::any_of(watches_.begin(), watches_.end(),
                              [&](const Watch& w) { return w.id == watches[i].id; });
      if (live) {
        (*watches[i].onReadable)();
        ran = true;
      }
    }
  }
  ran = drainForeign() || ran;
  ran = runDue() || ran;
  return ran;
}

void PosixMainLoop::run() {
  quit_ = false;
  while (!quit_)
    runOnce(std::nullopt);
}

void PosixMainLoop::quit() {
  quit_ = true;
  // Wakes a sleeping poll when called through another thread's post.
  std::uint64_t one = 1;
  [[maybe_unused]] auto n = write(wakeFd_, &one, sizeof one);
}

bool PosixMainLoop::runUntil(const std::function<bool()>& done, Seconds limit) {
  Seconds end = now() + limit;
  while (!done()) {
    Seconds left = end - now();
    if (left <= 0) break;
    runOnce(left);
  }
  return done();
}

}  // namespace zelvorn
