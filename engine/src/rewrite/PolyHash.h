// SPDX-License-Identifier: MIT
#pragma once

// Polynomial hashes modulo the Mersenne prime 2^61 - 1, built so that two
// pieces join in constant time: Hash(a + b) = Join(Hash(a), Hash(b), |b|).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <random>

#include "orvane/Text.h"

namespace orvane::detail {

// A text as its length and polynomial hash: what every index of the passes
// files a text under.
struct TextKey {
  long long length = 0;
  std::uint64_t hash = 0;
  friend bool operator==(TextKey, TextKey) = default;
};

// The 64-bit key an index files a text under; texts that share one are told
// apart by their full keys.
inline std::uint64_t Filed(TextKey k) { return k.hash ^ (static_cast<std::uint64_t>(k.length) * 0x9E3779B97F4A7C15ull); }

class PolyHash {
 public:
  static constexpr std::uint64_t kMod = (std::uint64_t{1} << 61) - 1;

  // a * b mod 2^61 - 1, for a and b below the modulus. A 128-bit product
  // where the compiler has one (every 64-bit target), four 32-bit ones where
  // it has not (32-bit ARM and x86); both give the same residue.
  static std::uint64_t Mul(std::uint64_t a, std::uint64_t b) {
#ifdef __SIZEOF_INT128__
    return MulWide(a, b);
#else
    return MulHalves(a, b);
#endif
  }
#ifdef __SIZEOF_INT128__
  static std::uint64_t MulWide(std::uint64_t a, std::uint64_t b) {
    __extension__ using Wide = unsigned __int128;
    const Wide p = static_cast<Wide>(a) * b;
    return Reduce(static_cast<std::uint64_t>(p & kMod) + static_cast<std::uint64_t>(p >> 61));
  }
#endif
  // The same residue from the 128-bit product high:low as four 32-bit products.
  static std::uint64_t MulHalves(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const std::uint64_t middle = a0 * b1 + a1 * b0;  // below 2^62, as a1 and b1 are below 2^29
    const std::uint64_t low = a0 * b0 + (middle << 32);
    const std::uint64_t high = a1 * b1 + (middle >> 32) + (low < (middle << 32) ? 1 : 0);
    return Reduce((low & kMod) + ((low >> 61) | (high << 3)));
  }
  // A product's two halves added: 2^61 is 1 modulo 2^61 - 1, and the sum is below 2 kMod.
  static std::uint64_t Reduce(std::uint64_t r) { return r >= kMod ? r - kMod : r; }
  static std::uint64_t Add(std::uint64_t a, std::uint64_t b) { return a + b >= kMod ? a + b - kMod : a + b; }
  static std::uint64_t Sub(std::uint64_t a, std::uint64_t b) { return a >= b ? a - b : a + kMod - b; }

  // base^n and base^-n, each the product of two small tables' entries.
  static std::uint64_t Pow(std::size_t n);
  static std::uint64_t InvPow(std::size_t n);

  // The hash of a + b from the hashes of a and b and the length of b.
  static std::uint64_t Join(std::uint64_t a, std::uint64_t b, std::size_t lengthB) { return Add(Mul(a, Pow(lengthB)), b); }
  // The hash of a from the hashes of a + b and b and the length of b.
  static std::uint64_t Unjoin(std::uint64_t ab, std::uint64_t b, std::size_t lengthB) {
    return Mul(Sub(ab, b), InvPow(lengthB));
  }

  static std::uint64_t Step(std::uint64_t h, char16_t c) { return Add(Mul(h, Base()), c + 1u); }
  static std::uint64_t Of(TextView text) {
    std::uint64_t h = 0;
    for (const char16_t c : text) h = Step(h, c);
    return h;
  }

  // A base drawn once per run: with a base known in advance, texts could be
  // built to collide on purpose, and a copy is taken on equal hashes.
  static std::uint64_t DrawBase() {
    std::uint64_t r = 0;
    try {
      std::random_device device;
      r = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    } catch (const std::exception&) {
      r = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
    // Past every character code, short of the modulus.
    return (r * 0x9E3779B97F4A7C15ull) % (kMod - (1u << 17)) + (1u << 16);
  }

  // Drawn on first use, whenever that is.
  static std::uint64_t Base() {
    static const std::uint64_t base = DrawBase();
    return base;
  }
  static std::uint64_t Inverse() {
    static const std::uint64_t inverse = Power(Base(), kMod - 2);
    return inverse;
  }
  static std::uint64_t Power(std::uint64_t b, std::uint64_t e) {
    std::uint64_t r = 1;
    for (; e; e >>= 1, b = Mul(b, b))
      if (e & 1) r = Mul(r, b);
    return r;
  }
};

// A base to any power as the product of two small tables' entries: the
// four tables (base and inverse) hold 64 KiB, which stays in the processor's
// second-level cache where a table of every power would not, and a text needs
// no power of its own.
class Powers {
 public:
  explicit Powers(std::uint64_t base) {
    low_[0] = high_[0] = 1;
    for (std::size_t i = 1; i < kSpan; ++i) low_[i] = PolyHash::Mul(low_[i - 1], base);
    const std::uint64_t step = PolyHash::Mul(low_[kSpan - 1], base);
    for (std::size_t i = 1; i < kSpan; ++i) high_[i] = PolyHash::Mul(high_[i - 1], step);
  }
  std::uint64_t Of(std::uint64_t e) const {
    if (e < kSpan) return low_[e];
    const std::uint64_t high = e >> kBits;
    return PolyHash::Mul(low_[e & (kSpan - 1)], high < kSpan ? high_[high] : PolyHash::Power(high_[1], high));
  }

 private:
  static constexpr unsigned kBits = 11;
  static constexpr std::size_t kSpan = std::size_t{1} << kBits;
  std::uint64_t low_[kSpan];
  std::uint64_t high_[kSpan];  // the base to multiples of kSpan
};

// Filled at their first use, whenever that is, even while another file's
// objects are set up. A loop over a text's characters takes a table once:
// each use asks whether it is filled yet.
inline const Powers& PowerTable() {
  static const Powers powers{PolyHash::Base()};
  return powers;
}
inline const Powers& InversePowerTable() {
  static const Powers powers{PolyHash::Inverse()};
  return powers;
}
inline std::uint64_t PolyHash::Pow(std::size_t n) { return PowerTable().Of(n); }
inline std::uint64_t PolyHash::InvPow(std::size_t n) { return InversePowerTable().Of(n); }

// The key of a + b from the keys of a and b.
inline TextKey Join(TextKey a, TextKey b) {
  if (b.length == 0) return a;
  if (a.length == 0) return b;
  return {a.length + b.length, PolyHash::Join(a.hash, b.hash, static_cast<std::size_t>(b.length))};
}
// The key of a from the keys of a + b and b.
inline TextKey WithoutBack(TextKey ab, TextKey b) {
  return {ab.length - b.length, PolyHash::Unjoin(ab.hash, b.hash, static_cast<std::size_t>(b.length))};
}
// The key of b from the keys of a + b and a.
inline TextKey WithoutFront(TextKey ab, TextKey a) {
  const long long rest = ab.length - a.length;
  return {rest, PolyHash::Sub(ab.hash, PolyHash::Mul(a.hash, PolyHash::Pow(static_cast<std::size_t>(rest))))};
}

}  // namespace orvane::detail
