// SPDX-License-Identifier: MIT
// The hashed text of the group passes: a text's hash must not depend on how
// it is cut into pieces, at any length, and the tree must give what a plain
// list of the positions' texts gives after any replacements.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "rewrite/PieceTree.h"

namespace {

using orvane::Text;
using namespace StringStuff::groups;

// Powers come from two tables, and past them from squaring.
TEST(GroupText, PiecesJoinAlikeAtEveryLength) {
  for (const std::size_t length : {1u, 2047u, 2048u, 2049u, 4099u, (1u << 22) - 1, 1u << 22, (1u << 22) + 2049}) {
    SCOPED_TRACE(length);
    Text inner(length, u'7');
    inner.front() = u'(';
    const Text before = u"1+(";
    EXPECT_EQ(Join(PieceOf(before), PieceOf(inner)).hash, PieceOf(before + inner).hash);
    EXPECT_EQ(Join(PieceOf(inner), PieceOf(before)).hash, PieceOf(inner + before).hash);
    EXPECT_EQ(Wrapped(PieceOf(inner)).hash, PieceOf(u"(" + inner + u")").hash);
  }
}

TEST(GroupText, TreeAgreesWithThePositionsAfterFills) {
  std::mt19937 rng(61);
  const char16_t* const values[] = {u"", u"7", u"0.333333333333333", u"\\", u"-1.11111111111111E-111"};
  for (const std::size_t size : {1u, 2u, 3u, 64u, 300u, 1025u}) {
    Text text;
    for (std::size_t i = 0; i < size; ++i) text += static_cast<char16_t>(u'0' + rng() % 10);
    std::vector<Text> positions;
    for (const char16_t c : text) positions.emplace_back(1, c);
    PieceTree tree(text);
    std::uniform_int_distribution<std::size_t> at(0, size - 1), pick(0, std::size(values) - 1);
    for (int step = 0; step < 200; ++step) {
      std::size_t first = at(rng), last = at(rng) + 1;
      if (first >= last) std::swap(first, last);
      if (first == last) continue;
      const Text value = values[pick(rng)];
      tree.Fill(first, last, PieceOf(value));
      positions[first] = value;
      for (std::size_t i = first + 1; i < last; ++i) positions[i].clear();
      std::size_t from = at(rng), to = at(rng) + 1;
      if (from > to) std::swap(from, to);
      Text expected;
      for (std::size_t i = from; i < to; ++i) expected += positions[i];
      const TextKey got = tree.Range(from, to);
      ASSERT_EQ(got.hash, PieceOf(expected).hash) << size << " " << step;
      ASSERT_EQ(got.length, static_cast<long long>(expected.size()));
      ASSERT_EQ(tree.Length(from, to), static_cast<long long>(expected.size()));
    }
  }
}

}  // namespace
