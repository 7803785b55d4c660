#include "App/Log.h"

#include <chrono>
#include <ctime>
#include <deque>
#include <mutex>

#include <fmt/format.h>

namespace zelvorn {

namespace {

struct LogState {
  std::mutex lock;
  LogSinks sinks;
  std::deque<std::string> ring;
};

LogState& state() {
  static LogState s;
  return s;
}

WallTime systemNow() {
  auto t = std::chrono::system_clock::now().time_since_epoch();
  return WallTime{std::chrono::duration<double>(t).count()};
}

// "HH:mm:ss.SSS" in the local time zone.
std::string clockStamp(WallTime t) {
  auto whole = static_cast<std::time_t>(t.unixSeconds);
  int millis = static_cast<int>((t.unixSeconds - static_cast<double>(whole)) * 1000);
  std::tm local{};
  localtime_r(&whole, &local);
  return fmt::format("{:02}:{:02}:{:02}.{:03}", local.tm_hour, local.tm_min, local.tm_sec, millis);
}

}  // namespace

void Log::line(std::string_view text) {
  auto& s = state();
  IConsole* console;
  std::function<WallTime()> clock;
  {
    std::lock_guard guard(s.lock);
    console = s.sinks.console;
    clock = s.sinks.clock;
  }
  if (console) console->writeLine(text);
  WallTime now = clock ? clock() : systemNow();
  std::lock_guard guard(s.lock);
  s.ring.push_back(clockStamp(now) + " " + std::string(text));
  while (s.ring.size() > kRingCapacity) s.ring.pop_front();
}

void Log::setFileLogging(bool) {}

std::vector<std::string> Log::recentLines() {
  auto& s = state();
  std::lock_guard guard(s.lock);
  return {s.ring.begin(), s.ring.end()};
}

void Log::configure(LogSinks sinks) {
  auto& s = state();
  std::lock_guard guard(s.lock);
  s.sinks = std::move(sinks);
  s.ring.clear();
}

}  // namespace zelvorn
