// SPDX-License-Identifier: MIT
// Whole powers of our own. The C library's pow may be off by an ulp and is
// a different program on different processors (x87 code on 32-bit x86, a
// fused multiply-add variant on newer x86-64), so the same W or T term could
// give a different last digit from one machine to the next. Here the power
// is taken in double-double arithmetic, about 104 bits, and rounded once.
//
// Invariant: every Wide holds (hi + lo) * 2^scale with hi in [0.5, 1) and
// |lo| at most half an ulp of hi. Over every base and exponent of 16 bits,
// its error stays far below what could move the rounding to 53 bits (checked
// once against exact integer arithmetic over the whole range); it needs
// plain IEEE double steps, which the build asks for on every processor.
#include "WholePower.h"

#include <cassert>
#include <cmath>

namespace orvane::detail {

namespace {

struct Pair {
  double hi, lo;
};

struct Wide {
  double hi, lo;
  long scale;
};

// a * b exactly as hi + lo (Dekker's product, which needs no fused multiply-add).
Pair TwoProduct(double a, double b) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double ca = kSplitter * a, cb = kSplitter * b;
  const double aHigh = ca - (ca - a), aLow = a - aHigh;
  const double bHigh = cb - (cb - b), bLow = b - bHigh;
  const double p = a * b;
  return {p, ((aHigh * bHigh - p) + aHigh * bLow + aLow * bHigh) + aLow * bLow};
}

// hi + lo exactly as a rounded sum and its error, for |hi| >= |lo|.
Pair FastTwoSum(double hi, double lo) {
  const double s = hi + lo;
  return {s, lo - (s - hi)};
}

Wide Normalised(Pair p, long scale) {
  int e = 0;
  const double hi = std::frexp(p.hi, &e);
  const Wide w{hi, std::ldexp(p.lo, -e), scale + e};
  assert(w.hi >= 0.5 && w.hi < 1 && std::fabs(w.lo) <= std::ldexp(1.0, -54));
  return w;
}

Wide Multiply(const Wide& x, const Wide& y) {
  const Pair p = TwoProduct(x.hi, y.hi);
  return Normalised(FastTwoSum(p.hi, p.lo + (x.hi * y.lo + x.lo * y.hi)), x.scale + y.scale);
}

Wide Reciprocal(const Wide& x) {
  const double q = 1 / x.hi;
  const Pair p = TwoProduct(q, x.hi);
  const double residual = ((1 - p.hi) - p.lo) - q * x.lo;  // 1 - q * (hi + lo)
  return Normalised(FastTwoSum(q, q * residual), -x.scale);
}

// Rounds (hi + lo) * 2^scale, below the smallest normal double, to a multiple
// of the smallest subnormal one: the fraction hi * 2^scale alone would be
// rounded twice.
double RoundSubnormal(const Wide& w) {
  const double t = std::ldexp(w.hi, static_cast<int>(w.scale + 1074));  // in units of 2^-1074
  const double low = std::ldexp(w.lo, static_cast<int>(w.scale + 1074));
  constexpr double kUnit = 4503599627370496.0;  // 2^52: adding it rounds to a whole number
  double units = (t + kUnit) - kUnit;
  const double off = t - units;  // exact, at most one half
  if (off == 0.5 && low > 0) units += 1;
  if (off == -0.5 && low < 0) units -= 1;
  return std::ldexp(units, -1074);
}

// Past the largest double, ldexp gives infinity.
double Rounded(const Wide& w) {
  return w.scale >= -1021 ? std::ldexp(w.hi, static_cast<int>(w.scale)) : RoundSubnormal(w);
}

}  // namespace

double WholePower(long base, long exponent) {
  if (exponent == 0) return 1;
  if (base == 0) return 0;
  const unsigned long count = static_cast<unsigned long>(exponent < 0 ? -exponent : exponent);
  Wide power = Normalised({1, 0}, 0);
  Wide square = Normalised({static_cast<double>(base < 0 ? -base : base), 0}, 0);
  for (unsigned long rest = count;;) {
    if (rest & 1) power = Multiply(power, square);
    if ((rest >>= 1) == 0) break;
    square = Multiply(square, square);
  }
  const double magnitude = Rounded(exponent < 0 ? Reciprocal(power) : power);
  return base < 0 && (count & 1) ? -magnitude : magnitude;
}

}  // namespace orvane::detail
