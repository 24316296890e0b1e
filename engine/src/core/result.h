// Errors are values: every fallible function returns a Result holding either
// its value or an error. The engine is built without exceptions, so nothing
// else ever reports a failure.
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace kesvo {

// The categories of engine errors, in declaration order. The category only
// decides how the message is rendered into the reply.
enum class ErrorKind {
  Rules,
  Device,
  Override,
  Request,
  Invalid,
  Unsupported,
  Value,
};

struct EngineError {
  ErrorKind kind;
  std::string message;
};

// A failure on its way out of a function; converts to any Result<T, E>.
template <class E>
struct Failure {
  E error;
};

inline Failure<EngineError> fail(ErrorKind kind, std::string message) {
  return Failure<EngineError>{EngineError{kind, std::move(message)}};
}

// A failure carrying a plain message (expression, program, classification
// and codec errors, which the calling code wraps into a category).
inline Failure<std::string> fail_msg(std::string message) {
  return Failure<std::string>{std::move(message)};
}

template <class T, class E = EngineError>
class [[nodiscard]] Result {
 public:
  using value_type = T;
  using error_type = E;

  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  template <class U, std::enable_if_t<std::is_constructible_v<T, U&&> && !std::is_same_v<std::decay_t<U>, T> &&
                                          !std::is_same_v<std::decay_t<U>, Result>,
                                      int> = 0>
  Result(U&& value) : v_(std::in_place_index<0>, T(std::forward<U>(value))) {}  // NOLINT
  Result(Failure<E> f) : v_(std::in_place_index<1>, std::move(f.error)) {}      // NOLINT

  [[nodiscard]] bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return *std::get_if<0>(&v_); }
  const T& value() const& { return *std::get_if<0>(&v_); }
  T&& value() && { return std::move(*std::get_if<0>(&v_)); }
  T* operator->() { return std::get_if<0>(&v_); }
  const T* operator->() const { return std::get_if<0>(&v_); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*std::get_if<0>(&v_)); }

  const E& error() const& { return *std::get_if<1>(&v_); }
  E&& error() && { return std::move(*std::get_if<1>(&v_)); }
  // The failure, ready to be returned from a function with another value type.
  Failure<E> failure() && { return Failure<E>{std::move(*std::get_if<1>(&v_))}; }

 private:
  std::variant<T, E> v_;
};

template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  using value_type = void;
  using error_type = E;

  Result() = default;
  Result(Failure<E> f) : err_(std::move(f.error)), ok_(false) {}  // NOLINT

  [[nodiscard]] bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  void value() const {}
  const E& error() const& { return err_; }
  E&& error() && { return std::move(err_); }
  Failure<E> failure() && { return Failure<E>{std::move(err_)}; }

 private:
  E err_{};
  bool ok_ = true;
};

using Status = Result<void, EngineError>;

// Evaluates `expr` (a Result); on failure returns the failure from the
// enclosing function, otherwise yields the value. Uses a GNU statement
// expression (GCC and Clang).
#define KESVO_TRY(expr)                                    \
  ({                                                       \
    auto&& kesvo_try_r_ = (expr);                          \
    if (!kesvo_try_r_.ok()) return std::move(kesvo_try_r_).failure(); \
    std::move(kesvo_try_r_).value();                       \
  })

// Same for a Result<void>: returns the failure, yields nothing.
#define KESVO_CHECK(expr)                                  \
  do {                                                     \
    auto&& kesvo_chk_r_ = (expr);                          \
    if (!kesvo_chk_r_.ok()) return std::move(kesvo_chk_r_).failure(); \
  } while (0)

}  // namespace kesvo
