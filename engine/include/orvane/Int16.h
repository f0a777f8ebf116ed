// SPDX-License-Identifier: MIT
#pragma once

// The checked 16-bit arithmetic that positions, lengths and counts use, so
// that every limit of the evaluation overflows where it should.

#include <cstdint>

#include "orvane/RunTimeError.h"

namespace orvane {

// Positions, lengths, counts and loop counters are 16-bit signed integers;
// every step on them is checked.
using Int16 = std::int16_t;

constexpr long kInt16Min = -32768;
constexpr long kInt16Max = 32767;

// Narrows a wider intermediate result, raising the overflow error outside the range.
inline Int16 ToInt16(long long value) {
  if (value < kInt16Min || value > kInt16Max) throw RunTimeError(ErrorKind::IntegerOverflow);
  return static_cast<Int16>(value);
}

inline Int16 Add16(long long a, long long b) { return ToInt16(a + b); }
inline Int16 Sub16(long long a, long long b) { return ToInt16(a - b); }

}  // namespace orvane
