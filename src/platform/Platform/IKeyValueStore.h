// The application's user-defaults store: typed values under string keys. A value of another type
// than the one asked for reads as missing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Platform/Types.h"

namespace zelvorn {

using StoreValue = std::variant<bool, std::int64_t, double, std::string, std::vector<std::string>,
                                Bytes, WallTime>;

class IKeyValueStore {
 public:
  virtual ~IKeyValueStore() = default;

  virtual std::optional<StoreValue> get(std::string_view key) const = 0;
  virtual void set(std::string_view key, StoreValue value) = 0;
  virtual void remove(std::string_view key) = 0;

  std::optional<bool> boolValue(std::string_view key) const { return typed<bool>(key); }
  std::optional<std::int64_t> integer(std::string_view key) const {
    return typed<std::int64_t>(key);
  }
  std::optional<double> doubleValue(std::string_view key) const { return typed<double>(key); }
  std::optional<std::string> string(std::string_view key) const { return typed<std::string>(key); }
  std::optional<std::vector<std::string>> stringArray(std::string_view key) const {
    return typed<std::vector<std::string>>(key);
  }
  std::optional<Bytes> bytes(std::string_view key) const { return typed<Bytes>(key); }
  std::optional<WallTime> date(std::string_view key) const { return typed<WallTime>(key); }

 private:
  template <class T>
  std::optional<T> typed(std::string_view key) const {
    auto v = get(key);
    if (!v) return std::nullopt;
    if (auto* p = std::get_if<T>(&*v)) return std::move(*p);
    return std::nullopt;
  }
};

}  // namespace zelvorn
