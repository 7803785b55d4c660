#include "Core/TextTrimming.h"

#include <cstdint>

namespace zelvorn {

namespace {

bool isWhitespaceOrNewline(std::uint32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

// Decodes the code point starting at `i`; invalid bytes decode as themselves (never white space).
std::uint32_t decodeAt(std::string_view s, std::size_t i, std::size_t& length) {
  auto b = static_cast<unsigned char>(s[i]);
  std::size_t n = b < 0x80           ? 1
                  : (b >> 5) == 0x6  ? 2
                  : (b >> 4) == 0xE  ? 3
                  : (b >> 3) == 0x1E ? 4
                                     : 0;
  if (n == 0 || i + n > s.size()) {
    length = 1;
    return 0xFFFFFFFF;
  }
  std::uint32_t c = n == 1 ? b : b & (0xFF >> (n + 1));
  for (std::size_t k = 1; k < n; ++k) {
    auto cont = static_cast<unsigned char>(s[i + k]);
    if ((cont & 0xC0) != 0x80) {
      length = 1;
      return 0xFFFFFFFF;
    }
    c = (c << 6) | (cont & 0x3F);
  }
  length = n;
  return c;
}

}  // namespace

std::string trimmingWhitespaceAndNewlines(std::string_view text) {
  // Walk forward once, remembering where the last non-space code point ends.
  std::size_t start = text.size();
  std::size_t end = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    auto c = decodeAt(text, i, length);
    if (!isWhitespaceOrNewline(c)) {
      if (start == text.size()) start = i;
      end = i + length;
    }
    i += length;
  }
  if (start >= end) return {};
  return std::string(text.substr(start, end - start));
}

}  // namespace zelvorn
