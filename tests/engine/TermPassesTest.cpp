// SPDX-License-Identifier: MIT
// The term passes where terms depend on each other: a value that joins the
// next term's digits, letters that share one ")", copies that join two
// stretches, P terms whose "(" lies beyond a ")", long answers. Expected
// answers were worked out with the literal step-by-step evaluation.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "orvane/Calculate.h"
#include "reference/LiteralEngine.h"

namespace {

using orvane::Text;

constexpr char16_t kLongAnswer[] = u"-1.11111111111111E-111";

Text Repeat(const Text& piece, std::size_t times) {
  Text out;
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

void ExpectAsLiteral(const Text& text, const Text& box) {
  SCOPED_TRACE(orvane::ToUtf8(text.substr(0, 200)) + " (" + std::to_string(text.size()) + " characters)");
  const orvane::CalcOutcome got = orvane::Calculate(text, box);
  EXPECT_EQ(got.answer, Literal::Calculate(text, box)) << got.reason;
  EXPECT_EQ(got.answer.has_value(), got.reason.empty());
}

// Pieces that make terms depend on each other.
const char16_t* const kPieces[] = {u"C", u"A", u"W", u"T", u"P", u"!", u"(", u")", u",", u"0", u"1", u"2",
                                   u"3", u"5", u"+", u"-", u".", u"E", u"C(", u"(1)", u"!!", u"2,3)", u"ANS"};

Text RandomText(std::mt19937& rng, std::size_t pieces) {
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
  Text out;
  for (std::size_t i = 0; i < pieces; ++i) out += kPieces[pick(rng)];
  return out;
}

TEST(TermPasses, RandomDependentTermsAgreeWithLiteral) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> length(1, 30);
  const Text boxes[] = {u"0", u"3", u"-2.5", kLongAnswer, u"C(1)"};
  for (int i = 0; i < 20000; ++i) ExpectAsLiteral(RandomText(rng, length(rng)), boxes[i % 5]);
}

TEST(TermPasses, LongShapesAgreeWithLiteral) {
  ExpectAsLiteral(u"0" + Repeat(u"!", 3000), u"0");
  ExpectAsLiteral(Repeat(u"C" , 500) + u"(2,3)" + Repeat(u"C(2,3)", 100), u"0");
}

}  // namespace
