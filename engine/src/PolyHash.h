// SPDX-License-Identifier: MIT
#pragma once

// Polynomial hashes modulo the Mersenne prime 2^61 - 1, built so that two
// pieces join in constant time: Hash(a + b) = Join(Hash(a), Hash(b), |b|).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <random>
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
  static std::uint64_t Pow(std::size_t n) { return n < kTabled ? Tabled().pow[n] : Power(Base(), n); }
  static std::uint64_t InvPow(std::size_t n) { return n < kTabled ? Tabled().inv[n] : Power(Inverse(), n); }

  // The hash of a + b from the hashes of a and b and the length of b.
  static std::uint64_t Join(std::uint64_t a, std::uint64_t b, std::size_t lengthB) { return Add(Mul(a, Pow(lengthB)), b); }
  // The hash of a from the hashes of a + b and b and the length of b.
  static std::uint64_t Unjoin(std::uint64_t ab, std::uint64_t b, std::size_t lengthB) {
    return Mul(Sub(ab, b), InvPow(lengthB));
  }

  static std::uint64_t Of(TextView text) {
    std::uint64_t h = 0;
    for (const char16_t c : text) h = Add(Mul(h, Base()), c + 1u);
    return h;
  }
  static std::uint64_t Step(std::uint64_t h, char16_t c) { return Add(Mul(h, Base()), c + 1u); }

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

 private:
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
        t.pow[i] = Mul(t.pow[i - 1], Base());
        t.inv[i] = Mul(t.inv[i - 1], Inverse());
      }
      return t;
    }();
    return tables;
  }
};

}  // namespace orvane::detail
