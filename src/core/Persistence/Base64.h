// Base64 with the standard alphabet and padding, as the workspaces file stores its byte fields.
// Decoding is strict: anything but a well-formed, padded string is refused.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Platform/Types.h"

namespace zelvorn {

struct Base64 {
  static std::string encode(const Bytes& bytes);
  static std::optional<Bytes> decode(std::string_view text);
};

}  // namespace zelvorn
