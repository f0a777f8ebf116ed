// SPDX-License-Identifier: MIT
// clazy:excludeall=non-pod-global-static,returning-void-expression
// (each TEST() registers itself in a static, and ASSERT_* returns from the test)
// The modular product of the text hashes: the 32-bit targets' four-part
// product against the 128-bit one where the compiler has it, and against
// residues worked out by hand everywhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "rewrite/PolyHash.h"

namespace {

using orvane::detail::PolyHash;
constexpr std::uint64_t kMod = PolyHash::kMod;

TEST(PolyHash, ProductsModuloTheMersennePrime) {
  const struct {
    std::uint64_t a, b, want;
  } rows[] = {
      {0, kMod - 1, 0},
      {1, kMod - 1, kMod - 1},
      {kMod - 1, kMod - 1, 1},                         // (-1)(-1)
      {std::uint64_t{1} << 32, std::uint64_t{1} << 32, 8},  // 2^64 = 2^3 * 2^61
      {(std::uint64_t{1} << 60), 2, 1},                // 2^61
      {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFE00000001u % kMod},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PolyHash::MulHalves(row.a, row.b), row.want) << row.a << " * " << row.b;
    EXPECT_EQ(PolyHash::Mul(row.a, row.b), row.want) << row.a << " * " << row.b;
  }
#ifdef __SIZEOF_INT128__
  std::mt19937_64 random(7);
  for (int i = 0; i < 100000; ++i) {
    const std::uint64_t a = random() % kMod, b = random() % kMod;
    ASSERT_EQ(PolyHash::MulHalves(a, b), PolyHash::MulWide(a, b)) << a << " * " << b;
  }
#endif
}

}  // namespace
