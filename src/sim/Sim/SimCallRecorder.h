// The log of every platform call made to the simulated desktop, with its arguments and result, so
// tests and benchmarks can count and order reads, writes, actions, window-list and app calls.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/IAccessibility.h"
#include "Platform/Types.h"

namespace zelvorn {

enum class SimCallKind {
  axRead,      // copyAttribute
  axWrite,     // setAttribute
  axAction,    // performAction
  axTimeout,   // setMessagingTimeout
  axQuery,     // trust, application element, pid, window number
  axObserver,  // observer creation and registration
  windowList,  // copyWindowList
  app,         // running-application queries and requests
  launch,      // launch services
};

struct SimCall {
  SimCallKind kind = SimCallKind::axRead;
  std::string name;           // attribute, action, notification or operation
  std::uint64_t element = 0;  // identity of the element called on, 0 for none
  Pid pid = 0;                // process the call concerned
  AXValue value;              // the value written, the time-out set, or an argument
  AXError result = kAXErrorSuccess;
  Seconds at = 0;  // virtual time when the call started
  // A short readable form: "read AXSize", "write AXPosition (10,20)", "action AXPress",
  // "timeout 0.5", "windowList 16", "app hide", "launch openApplication".
  std::string text() const;
};

class SimCallRecorder {
 public:
  void record(SimCall call) {
    if (enabled_) calls_.push_back(std::move(call));
  }
  void setEnabled(bool on) { enabled_ = on; }
  void clear() { calls_.clear(); }

  const std::vector<SimCall>& calls() const { return calls_; }
  std::size_t count(SimCallKind kind) const;
  std::size_t count(SimCallKind kind, std::string_view name) const;
  // `text()` of every call of the given kinds (all calls when empty), in order.
  std::vector<std::string> texts(std::vector<SimCallKind> kinds = {}) const;

 private:
  bool enabled_ = true;
  std::vector<SimCall> calls_;
};

std::string describeAXValue(const AXValue& value);

}  // namespace zelvorn
