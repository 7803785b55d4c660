#include "Sim/SimCallRecorder.h"

#include <algorithm>

#include <fmt/format.h>

namespace zelvorn {

namespace {

struct ValueText {
  std::string operator()(std::monostate) const { return "none"; }
  std::string operator()(const std::string& s) const { return "\"" + s + "\""; }
  std::string operator()(AXPoint p) const { return fmt::format("({:g},{:g})", p.x, p.y); }
  std::string operator()(Size s) const { return fmt::format("{:g}×{:g}", s.width, s.height); }
  std::string operator()(bool b) const { return b ? "true" : "false"; }
  std::string operator()(std::int64_t i) const { return std::to_string(i); }
  std::string operator()(double d) const { return fmt::format("{:g}", d); }
  std::string operator()(const AXElement& e) const { return fmt::format("#{}", e.identity()); }
  std::string operator()(const std::vector<AXElement>& v) const {
    return fmt::format("[{} elements]", v.size());
  }
};

}  // namespace

std::string describeAXValue(const AXValue& value) {
  return std::visit(ValueText{}, value);
}

std::string SimCall::text() const {
  switch (kind) {
    case SimCallKind::axRead:
      return "read " + name;
    case SimCallKind::axWrite:
      return "write " + name + " " + describeAXValue(value);
    case SimCallKind::axAction:
      return "action " + name;
    case SimCallKind::axTimeout:
      return "timeout " + describeAXValue(value);
    case SimCallKind::axQuery:
      return "ax " + name;
    case SimCallKind::axObserver:
      return "observer " + name;
    case SimCallKind::windowList:
      return "windowList " + describeAXValue(value);
    case SimCallKind::app:
      return "app " + name;
    case SimCallKind::launch:
      return "launch " + name;
  }
  return name;
}

std::size_t SimCallRecorder::count(SimCallKind kind) const {
  return static_cast<std::size_t>(std::count_if(calls_.begin(), calls_.end(),
                                                [&](const SimCall& c) { return c.kind == kind; }));
}

std::size_t SimCallRecorder::count(SimCallKind kind, std::string_view name) const {
  return static_cast<std::size_t>(
      std::count_if(calls_.begin(), calls_.end(),
                    [&](const SimCall& c) { return c.kind == kind && c.name == name; }));
}

std::vector<std::string> SimCallRecorder::texts(std::vector<SimCallKind> kinds) const {
  std::vector<std::string> out;
  for (const auto& c : calls_) {
    if (kinds.empty() || std::find(kinds.begin(), kinds.end(), c.kind) != kinds.end())
      out.push_back(c.text());
  }
  return out;
}

}  // namespace zelvorn
