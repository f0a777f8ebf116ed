// SPDX-License-Identifier: MIT
#pragma once

// The one way in which the engine reports a failure, and its kinds.

#include <stdexcept>
#include <string>

namespace orvane {

// The one way the engine reports a failure; no engine operation catches it.
enum class ErrorKind {
  IntegerOverflow,   // a 16-bit position, count or argument left -32768..32767
  DivisionByZero,
  FloatingPoint,     // floating-point overflow or invalid operation
  InvalidArgument,   // a substring of negative length
};

// A short, user-facing description such as "Division by zero".
const char* Describe(ErrorKind kind);

// Thrown by value and caught by reference, as exceptions are; throwing
// needs the copy that clazy's copyable-polymorphic warns of.
class RunTimeError : public std::runtime_error {  // clazy:exclude=copyable-polymorphic
 public:
  explicit RunTimeError(ErrorKind kind) : std::runtime_error(Describe(kind)), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

}  // namespace orvane
