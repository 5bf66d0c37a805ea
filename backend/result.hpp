// A value or an error, never both. Operations that can fail return one of
// these instead of throwing.
#pragma once

#include <utility>
#include <variant>

namespace sorvane {

// The success value of an operation that produces nothing.
struct Ok {};

template <class T, class E>
class [[nodiscard]] Result {
 public:
  // Implicit on purpose: `return value;` and `return error;` both read
  // naturally in every operation that returns a Result.
  // cppcheck-suppress noExplicitConstructor
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  // cppcheck-suppress noExplicitConstructor
  Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

  [[nodiscard]] bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  E& error() { return std::get<1>(state_); }
  const E& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, E> state_;
};

}  // namespace sorvane
