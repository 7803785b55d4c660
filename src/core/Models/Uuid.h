// A UUID: the identity of workspaces and panes. Written in the canonical hyphenated form with
// upper-case hex digits; read in either case.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zelvorn {

class Uuid {
 public:
  Uuid() = default;  // the nil UUID
  explicit Uuid(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}

  // A new random (version 4) UUID.
  static Uuid random();
  // The canonical 36-character form, either case; anything else is none.
  static std::optional<Uuid> parse(std::string_view text);

  std::string string() const;  // upper-case canonical form
  const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }
  bool isNil() const;

  bool operator==(const Uuid&) const = default;
  auto operator<=>(const Uuid&) const = default;

 private:
  std::array<std::uint8_t, 16> bytes_{};
};

}  // namespace zelvorn

template <>
struct std::hash<zelvorn::Uuid> {
  std::size_t operator()(const zelvorn::Uuid& u) const noexcept {
    std::size_t h = 1469598103934665603ull;
    for (auto b : u.bytes())
      h = (h ^ b) * 1099511628211ull;
    return h;
  }
};
