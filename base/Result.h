#pragma once
// The one error type of every reader: a named code plus the message the user sees, and
// ErrorOr<T>, a value or the error that stopped it. TRY(expr) hands an error up to the
// caller and otherwise yields the value, so readers stay straight-line code.

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

namespace vec {

enum class ErrorCode {
  OpenFailed,     // a file could not be opened or read
  WriteFailed,    // a file or an output could not be written
  BadMagic,       // the first bytes are not the format's mark
  Truncated,      // the data ends inside an item, or a declared size exceeds what remains
  BadSize,        // a negative count or length, or a size out of range
  TooLarge,       // larger than the limit a reader accepts
  Corrupt,        // the data is not valid for its format
  Unsupported,    // valid, but a variant this reader does not handle
  UnknownFormat,  // not a format this reader knows
  BadJpeg,        // an embedded JPEG stream does not decode
  BadMask,        // an area mask's size is negative or too large
  NoMarker,       // a container holds no marker
  NoCount,        // a container ends inside its record count
  Syntax,         // a text does not follow its grammar
};

std::string_view ErrorCodeName(ErrorCode code);

struct Error {
  ErrorCode code = ErrorCode::Corrupt;
  std::string message;

  static Error Make(ErrorCode code, std::string message) { return Error{code, std::move(message)}; }
};

// A value of T, or the error that stopped it.
template <class T>
class [[nodiscard]] ErrorOr {
 public:
  ErrorOr(T value)
      : v_(std::in_place_index<0>, std::move(value)) {}  // NOLINT(google-explicit-constructor)
  ErrorOr(Error error) : v_(std::in_place_index<1>, std::move(error)) {}  // NOLINT

  bool ok() const { return v_.index() == 0; }
  bool is_error() const { return !ok(); }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(v_); }
  const T& value() const& { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  T release_value() { return std::move(std::get<0>(v_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }

  const Error& error() const { return std::get<1>(v_); }
  Error release_error() { return std::move(std::get<1>(v_)); }

 private:
  std::variant<T, Error> v_;
};

// An operation without a value: success, or the error.
template <>
class [[nodiscard]] ErrorOr<void> {
 public:
  ErrorOr() = default;
  ErrorOr(Error error) : failed_(true), error_(std::move(error)) {}  // NOLINT

  bool ok() const { return !failed_; }
  bool is_error() const { return failed_; }
  explicit operator bool() const { return ok(); }
  void value() const {}
  void release_value() const {}

  const Error& error() const { return error_; }
  Error release_error() { return std::move(error_); }

 private:
  bool failed_ = false;
  Error error_;
};

using Status = ErrorOr<void>;

}  // namespace vec

// Evaluates an ErrorOr expression; on an error returns it from the enclosing function,
// otherwise yields the value (nothing for ErrorOr<void>).
#define TRY(expression)                                             \
  ({                                                                \
    auto _try_result = (expression);                                \
    if (_try_result.is_error()) return _try_result.release_error(); \
    _try_result.release_value();                                    \
  })
