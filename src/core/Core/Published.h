// A value whose every assignment notifies its subscribers with the new value, synchronously and in
// subscription order. The owner assigns; everyone else reads and subscribes. Subscribing does not
// deliver the current value. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "Platform/Subscription.h"

namespace zelvorn {

template <class T>
class Published {
 public:
  using Handler = std::function<void(const T&)>;

  Published() = default;
  explicit Published(T initial) : value_(std::move(initial)) {}
  Published(const Published&) = delete;
  Published& operator=(const Published&) = delete;

  const T& value() const { return value_; }
  operator const T&() const { return value_; }

  void set(T newValue) {
    value_ = std::move(newValue);
    notify();
  }
  Published& operator=(T newValue) {
    set(std::move(newValue));
    return *this;
  }

  // The handler runs on every later assignment until the subscription is destroyed; it may
  // outlive this value.
  Subscription subscribe(Handler handler) const {
    auto id = registry_->nextID++;
    registry_->handlers.emplace(id, std::move(handler));
    std::weak_ptr<Registry> weak = registry_;
    return Subscription([weak, id] {
      if (auto r = weak.lock()) r->handlers.erase(id);
    });
  }

 private:
  struct Registry {
    std::uint64_t nextID = 0;
    std::map<std::uint64_t, Handler> handlers;
  };

  void notify() {
    // Handlers may subscribe or unsubscribe while being called: walk a snapshot of the ids and
    // skip any that went away meanwhile.
    std::vector<std::uint64_t> ids;
    ids.reserve(registry_->handlers.size());
    for (const auto& [id, handler] : registry_->handlers)
      ids.push_back(id);
    auto keepAlive = registry_;
    for (auto id : ids) {
      auto it = keepAlive->handlers.find(id);
      if (it == keepAlive->handlers.end()) continue;
      Handler handler = it->second;
      handler(value_);
    }
  }

  T value_{};
  std::shared_ptr<Registry> registry_ = std::make_shared<Registry>();
};

}  // namespace zelvorn
