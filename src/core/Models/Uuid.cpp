#include "Models/Uuid.h"

#include <random>

namespace zelvorn {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isHyphenPosition(std::size_t i) {
  return i == 8 || i == 13 || i == 18 || i == 23;
}

}  // namespace

Uuid Uuid::random() {
  thread_local std::mt19937_64 engine{[] {
    std::random_device device;
    std::seed_seq seq{device(), device(), device(), device(), device(), device()};
    return std::mt19937_64(seq);
  }()};
  std::array<std::uint8_t, 16> b{};
  for (std::size_t i = 0; i < 16; i += 8) {
    std::uint64_t v = engine();
    for (std::size_t j = 0; j < 8; ++j)
      b[i + j] = static_cast<std::uint8_t>(v >> (8 * j));
  }
  b[6] = static_cast<std::uint8_t>((b[6] & 0x0F) | 0x40);  // version 4
  b[8] = static_cast<std::uint8_t>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
  return Uuid(b);
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
  if (text.size() != 36) return std::nullopt;
  std::array<std::uint8_t, 16> b{};
  std::size_t out = 0;
  for (std::size_t i = 0; i < 36;) {
    if (isHyphenPosition(i)) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    int hi = hexValue(text[i]);
    int lo = hexValue(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    b[out++] = static_cast<std::uint8_t>(hi * 16 + lo);
    i += 2;
  }
  return Uuid(b);
}

std::string Uuid::string() const {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(36);
  for (std::size_t i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) s.push_back('-');
    s.push_back(kDigits[bytes_[i] >> 4]);
    s.push_back(kDigits[bytes_[i] & 0x0F]);
  }
  return s;
}

bool Uuid::isNil() const {
  for (auto b : bytes_)
    if (b != 0) return false;
  return true;
}

}  // namespace zelvorn
