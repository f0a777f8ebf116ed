// SPDX-License-Identifier: MIT
// The words that describe each kind of failure.
#include "orvane/RunTimeError.h"

namespace orvane {

const char* Describe(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::IntegerOverflow: return "Integer overflow";
    case ErrorKind::DivisionByZero: return "Division by zero";
    case ErrorKind::FloatingPoint: return "Floating-point overflow or invalid operation";
    case ErrorKind::InvalidArgument: return "Invalid argument";
  }
  return "Run-time error";
}

}  // namespace orvane
