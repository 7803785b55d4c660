// The identifiers and plain values every platform interface speaks: process ids, window and
// display numbers, durations, dates and byte strings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelvorn {

using Pid = std::int32_t;            // 0 means unknown
using WindowNumber = std::uint32_t;  // the window server's number; same in AX and the window list
using DisplayNumber = std::uint32_t;
using Seconds = double;  // durations and monotonic time
using Bytes = std::vector<std::uint8_t>;

// A point in calendar time: seconds since 1970-01-01 UTC.
struct WallTime {
  double unixSeconds = 0;
  bool operator==(const WallTime&) const = default;
  auto operator<=>(const WallTime&) const = default;
};

// A failure the user may be shown: a code and a readable description.
struct Error {
  int code = 0;
  std::string description;
  bool operator==(const Error&) const = default;
};

}  // namespace zelvorn
