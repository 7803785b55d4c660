// An RAII token for anything installed with the platform: an observer, a monitor, a watch.
// Destroying (or resetting) it removes what it stands for.
#pragma once

#include <functional>
#include <utility>

namespace zelvorn {

class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  Subscription(Subscription&& o) noexcept : cancel_(std::exchange(o.cancel_, nullptr)) {}
  Subscription& operator=(Subscription&& o) noexcept {
    if (this != &o) {
      reset();
      cancel_ = std::exchange(o.cancel_, nullptr);
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { reset(); }

  void reset() {
    if (auto c = std::exchange(cancel_, nullptr)) c();
  }
  explicit operator bool() const { return static_cast<bool>(cancel_); }

 private:
  std::function<void()> cancel_;
};

}  // namespace zelvorn
