// Result<T>: a value or an Error. Expected failures travel as results, never as exceptions.
#pragma once

#include <utility>
#include <variant>

#include "Platform/Types.h"

namespace zelvorn {

template <class T, class E = Error>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  Result(E error) : v_(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return std::get<0>(v_); }
  T& value() & { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  const E& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, E> v_;
};

template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;
  Result(E error) : error_(std::move(error)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const E& error() const { return error_; }

 private:
  E error_{};
  bool ok_ = true;
};

using Status = Result<void>;

}  // namespace zelvorn
