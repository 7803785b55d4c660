// The settings file can be edited or damaged by anyone: reading it must never crash, and whatever
// it yields must be written back and read again to the same values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Posix/JsonFileKeyValueStore.h"

namespace {

bool sameValues(const zelvorn::StoreValue& a, const zelvorn::StoreValue& b) {
  if (auto* d = std::get_if<double>(&a); d && std::isnan(*d)) {
    auto* e = std::get_if<double>(&b);
    return e && std::isnan(*e);
  }
  if (auto* t = std::get_if<zelvorn::WallTime>(&a); t && std::isnan(t->unixSeconds)) {
    auto* u = std::get_if<zelvorn::WallTime>(&b);
    return u && std::isnan(u->unixSeconds);
  }
  return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zelvorn::JsonFileKeyValueStore;
  auto values =
      JsonFileKeyValueStore::decode(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!values) return 0;
  auto again = JsonFileKeyValueStore::decode(JsonFileKeyValueStore::encode(*values));
  if (!again || again->size() != values->size()) std::abort();
  for (const auto& [key, value] : *values) {
    auto it = again->find(key);
    if (it == again->end() || !sameValues(value, it->second)) std::abort();
  }
  return 0;
}
