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

  // base^n and base^-n, the tables growing on demand.
  std::uint64_t Pow(std::size_t n) { return Grown(pow_, n, kBase); }
  std::uint64_t InvPow(std::size_t n) { return Grown(inv_, n, kInverse); }

  // The hash of a + b from the hashes of a and b and the length of b.
  std::uint64_t Join(std::uint64_t a, std::uint64_t b, std::size_t lengthB) { return Add(Mul(a, Pow(lengthB)), b); }
  // The hash of a from the hashes of a + b and b and the length of b.
  std::uint64_t Unjoin(std::uint64_t ab, std::uint64_t b, std::size_t lengthB) {
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

  // Tables reach as far as terms usually do; beyond, powers are computed.
  static constexpr std::size_t kTabled = std::size_t{1} << 16;
  static std::uint64_t Grown(std::vector<std::uint64_t>& table, std::size_t n, std::uint64_t factor) {
    if (n >= kTabled) return Power(factor, n);
    if (table.empty()) table.push_back(1);
    while (table.size() <= n) table.push_back(Mul(table.back(), factor));
    return table[n];
  }

  // Shared by every pass of the thread, so that each pass starts with them grown.
  static inline thread_local std::vector<std::uint64_t> pow_;
  static inline thread_local std::vector<std::uint64_t> inv_;
};

}  // namespace orvane::detail
