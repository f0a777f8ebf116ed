// SPDX-License-Identifier: MIT
#pragma once

// Polynomial hashes modulo the Mersenne prime 2^61 - 1, built so that two
// pieces join in constant time: Hash(a + b) = Join(Hash(a), Hash(b), |b|).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "orvane/Text.h"

namespace orvane::detail {

class PolyHash {
  __extension__ using Wide = unsigned __int128;

 public:
  static constexpr std::uint64_t kMod = (std::uint64_t{1} << 61) - 1;

  static std::uint64_t Mul(std::uint64_t a, std::uint64_t b) {
    const Wide p = static_cast<Wide>(a) * b;
    const std::uint64_t r = static_cast<std::uint64_t>(p & kMod) + static_cast<std::uint64_t>(p >> 61);
    return r >= kMod ? r - kMod : r;
  }
  static std::uint64_t Add(std::uint64_t a, std::uint64_t b) { return a + b >= kMod ? a + b - kMod : a + b; }
  static std::uint64_t Sub(std::uint64_t a, std::uint64_t b) { return a >= b ? a - b : a + kMod - b; }

  // base^n and base^-n: tabled as far as terms usually reach, computed beyond.
  static std::uint64_t Pow(std::size_t n) { return n < kTabled ? Tabled().pow[n] : Power(kBase, n); }
  static std::uint64_t InvPow(std::size_t n) { return n < kTabled ? Tabled().inv[n] : Power(kInverse, n); }

  // The hash of a + b from the hashes of a and b and the length of b.
  static std::uint64_t Join(std::uint64_t a, std::uint64_t b, std::size_t lengthB) { return Add(Mul(a, Pow(lengthB)), b); }
  // The hash of a from the hashes of a + b and b and the length of b.
  static std::uint64_t Unjoin(std::uint64_t ab, std::uint64_t b, std::size_t lengthB) {
    return Mul(Sub(ab, b), InvPow(lengthB));
  }

  static std::uint64_t Of(TextView text) {
    std::uint64_t h = 0;
    for (const char16_t c : text) h = Add(Mul(h, kBase), c + 1u);
    return h;
  }
  static std::uint64_t Step(std::uint64_t h, char16_t c) { return Add(Mul(h, kBase), c + 1u); }

 private:
  static constexpr std::uint64_t kBase = 0x1C6A2F3D5B7E9A1ull % kMod;
  static std::uint64_t Power(std::uint64_t b, std::uint64_t e) {
    std::uint64_t r = 1;
    for (; e; e >>= 1, b = Mul(b, b))
      if (e & 1) r = Mul(r, b);
    return r;
  }
  static inline const std::uint64_t kInverse = Power(kBase, kMod - 2);

  // Filled once, on first use, for every pass of every thread.
  static constexpr std::size_t kTabled = std::size_t{1} << 15;
  struct Tables {
    std::vector<std::uint64_t> pow = std::vector<std::uint64_t>(kTabled, 1);
    std::vector<std::uint64_t> inv = std::vector<std::uint64_t>(kTabled, 1);
  };
  static const Tables& Tabled() {
    static const Tables tables = [] {
      Tables t;
      for (std::size_t i = 1; i < kTabled; ++i) {
        t.pow[i] = Mul(t.pow[i - 1], kBase);
        t.inv[i] = Mul(t.inv[i - 1], kInverse);
      }
      return t;
    }();
    return tables;
  }
};

}  // namespace orvane::detail
