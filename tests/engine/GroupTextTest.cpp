// SPDX-License-Identifier: MIT
// clazy:excludeall=non-pod-global-static,returning-void-expression
// (each TEST() registers itself in a static, and ASSERT_* returns from the test)
// The hashed text of the group passes: a text's hash must not depend on how
// it is cut into pieces, at any length, and the tree over blocks must give
// what a plain list of the positions' texts gives after any replacements.
// The live lists that the passes walk must find what a scan finds.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "groups/CurrentText.h"
#include "rewrite/LiveLinks.h"

namespace {

using orvane::Text;
using namespace orvane::StringStuff::groups;

TextKey PieceOf(orvane::TextView text) { return {static_cast<long long>(text.size()), PolyHash::Of(text)}; }

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

// Random texts of digits and "+": random positions get values or nothing,
// as the passes put them, and any range's key and
// length must be those of the positions' texts joined.
TEST(GroupText, TreeAgreesWithThePositionsAfterChanges) {
  std::mt19937 rng(61);
  const char16_t* const values[] = {u"", u"7", u"0.333333333333333", u"-", u"-1.11111111111111E-111"};
  for (const std::size_t size : {1u, 2u, 3u, 8u, 9u, 64u, 300u, 1025u}) {
    Text text;
    for (std::size_t i = 0; i < size; ++i) text += rng() % 4 ? static_cast<char16_t>(u'0' + rng() % 10) : u'+';
    std::vector<Text> positions;
    for (const char16_t c : text) positions.emplace_back(1, c);
    const GroupTree groups(text);
    CurrentText current(groups);
    std::uniform_int_distribution<std::size_t> at(0, size - 1), pick(0, std::size(values) - 1);
    for (int step = 0; step < 200; ++step) {
      for (int changes = step % 3; changes >= 0; --changes) {
        const std::size_t i = at(rng);
        if (positions[i].empty()) continue;  // as in the passes, an emptied position stays so
        positions[i] = values[pick(rng)];
        current.Put(i, positions[i]);
      }
      std::size_t from = at(rng), to = at(rng) + 1;
      if (from > to) std::swap(from, to);
      Text expected;
      for (std::size_t i = from; i < to; ++i) expected += positions[i];
      const TextKey got = current.Range(from, to);
      ASSERT_EQ(got.hash, PieceOf(expected).hash) << size << " " << step;
      ASSERT_EQ(got.length, static_cast<long long>(expected.size()));
      ASSERT_EQ(current.Length(from, to), static_cast<long long>(expected.size()));
      ASSERT_EQ(current.Read(from, to), expected);
    }
  }
}

// Items of one kind in three start live; random ones go, and every item's
// nearest live one either way must be what a scan of the items finds.
TEST(GroupText, LiveListsFindWhatAScanFinds) {
  using orvane::detail::Toward;
  using Links = orvane::detail::LiveLinks<int, std::vector<std::uint16_t>>;
  std::mt19937 rng(7);
  for (const int size : {0, 1, 2, 5, 300}) {
    std::vector<bool> live(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) live[static_cast<std::size_t>(i)] = i % 3 == 0;
    const auto isLive = [&](int i) { return live[static_cast<std::size_t>(i)]; };
    Links toEnd(live.size(), Toward::kEnd, isLive), toStart(live.size(), Toward::kStart, isLive);
    for (int step = 0; step <= size; ++step) {
      for (int i = 0; i <= size; ++i) {
        int after = i, before = i - 1;  // toward the start, from i - 1 (kNone, -1, for the start)
        while (after < size && !isLive(after)) ++after;
        while (before >= 0 && !isLive(before)) --before;
        ASSERT_EQ(toEnd.From(i), after == size ? Links::kNone : after) << size << " " << i;
        ASSERT_EQ(toStart.From(i - 1), before) << size << " " << i;
      }
      if (size == 0) break;
      const int gone = static_cast<int>(rng() % static_cast<unsigned>(size));
      live[static_cast<std::size_t>(gone)] = false;
      toEnd.Remove(gone);
      toStart.Remove(gone);
    }
  }
}

}  // namespace
