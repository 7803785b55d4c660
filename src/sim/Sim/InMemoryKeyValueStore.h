// The user-defaults store held in memory: for tests, benchmarks and the simulated desktop.
#pragma once

#include <map>
#include <string>

#include "Platform/IKeyValueStore.h"

namespace zelvorn {

class InMemoryKeyValueStore final : public IKeyValueStore {
 public:
  std::optional<StoreValue> get(std::string_view key) const override {
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  void set(std::string_view key, StoreValue value) override {
    values_.insert_or_assign(std::string(key), std::move(value));
  }
  void remove(std::string_view key) override {
    auto it = values_.find(key);
    if (it != values_.end()) values_.erase(it);
  }
  const std::map<std::string, StoreValue, std::less<>>& all() const { return values_; }

 private:
  std::map<std::string, StoreValue, std::less<>> values_;
};

}  // namespace zelvorn
