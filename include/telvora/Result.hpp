#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace telvora {

// The outcome of an operation that can fail: either a value of type T, or an
// error case of the component's error enumeration E with a human-readable
// detail beside it ("data.live.prerollPods: expected an integer, got a
// string"). The detail is for people; programs branch on the error case.
//
// Asynchronous operations hand one Result to their completion. No exception
// crosses the library's API; calling value() on a failure (or error() on a
// success) is a programming error and asserts in debug builds.
template <class T, class E>
class [[nodiscard]] Result {
 public:
  static Result success(T value) { return Result(std::in_place_index<0>, std::move(value)); }
  static Result failure(E error, std::string detail = {}) {
    return Result(std::in_place_index<1>, Failure{std::move(error), std::move(detail)});
  }

  bool ok() const noexcept { return state_.index() == 0; }
  explicit operator bool() const noexcept { return ok(); }

  const T& value() const& {
    assert(ok());
    return std::get<0>(state_);
  }
  T& value() & {
    assert(ok());
    return std::get<0>(state_);
  }
  T&& value() && {
    assert(ok());
    return std::get<0>(std::move(state_));
  }

  const E& error() const {
    assert(!ok());
    return std::get<1>(state_).error;
  }
  // Empty on success and when the failing component had nothing to add.
  const std::string& detail() const {
    static const std::string none;
    return ok() ? none : std::get<1>(state_).detail;
  }

  // The same failure carried over into a result of another value type.
  template <class U>
  Result<U, E> forwardFailure() const {
    return Result<U, E>::failure(error(), detail());
  }

 private:
  struct Failure {
    E error;
    std::string detail;
  };

  template <std::size_t I, class... Args>
  explicit Result(std::in_place_index_t<I> index, Args&&... args)
      : state_(index, std::forward<Args>(args)...) {}

  std::variant<T, Failure> state_;
};

}  // namespace telvora
