// Trimming user-typed names the way the program's text fields expect: white space and line breaks,
// ASCII and Unicode alike, are removed from both ends.
#pragma once

#include <string>
#include <string_view>

namespace zelvorn {

std::string trimmingWhitespaceAndNewlines(std::string_view text);

}  // namespace zelvorn
