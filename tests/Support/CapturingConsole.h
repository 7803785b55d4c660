// A console that keeps every line it is given, for tests that check exact log lines. Installs
// itself as the log's console on construction and detaches again when destroyed.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "App/Log.h"
#include "Platform/IConsole.h"

namespace zelvorn {

class CapturingConsole final : public IConsole {
 public:
  // `sinks` lets a test add a file system, environment or clock; the console is this one.
  explicit CapturingConsole(LogSinks sinks = {}) {
    sinks.console = this;
    Log::configure(std::move(sinks));
  }
  ~CapturingConsole() override { Log::configure({}); }

  void writeLine(std::string_view line) override {
    std::lock_guard guard(mutex_);
    lines_.emplace_back(line);
  }
  std::vector<std::string> lines() const {
    std::lock_guard guard(mutex_);
    return lines_;
  }
  void clear() {
    std::lock_guard guard(mutex_);
    lines_.clear();
  }
  bool contains(std::string_view line) const {
    std::lock_guard guard(mutex_);
    for (const auto& l : lines_)
      if (l == line) return true;
    return false;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace zelvorn
