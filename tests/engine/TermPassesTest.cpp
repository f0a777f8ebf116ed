// SPDX-License-Identifier: MIT
// clazy:excludeall=non-pod-global-static,returning-void-expression
// (each TEST() registers itself in a static, and ASSERT_* returns from the test)
// The term passes where terms depend on each other: a value that joins the
// next term's digits, letters that share one ")", copies that join two
// stretches, P terms whose "(" lies beyond a ")", long answers. Expected
// answers were worked out with the literal step-by-step evaluation.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "orvane/Calculate.h"
#include "reference/LiteralEngine.h"

namespace {

using orvane::Text;

constexpr char16_t kLongAnswer[] = u"-1.11111111111111E-111";

Text Ascii(const std::string& s) { return Text(s.begin(), s.end()); }

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

struct Row {
  const char16_t* expression;
  const char16_t* box;
  const char16_t* answer;  // nullptr: nothing is written
};

void Check(const Row& row) {
  SCOPED_TRACE(orvane::ToUtf8(row.expression) + " with the answer box at " + orvane::ToUtf8(row.box));
  const orvane::CalcOutcome got = orvane::Calculate(row.expression, row.box);
  EXPECT_EQ(got.answer, row.answer ? std::optional<Text>(row.answer) : std::nullopt) << got.reason;
  EXPECT_EQ(got.answer, Literal::Calculate(row.expression, row.box));
}

TEST(TermPasses, ValueJoinsTheNextFactorial) {
  const Row rows[] = {
      {u"0!!!", u"0", u"1"},          {u"00!!", u"0", u"1"},         {u"3!!", u"0", u"720"},
      {u"3!!+3!", u"0", u"726"},      {u"3!4!", u"0", u"1.26886932185884E+89"},
      {u"1!0!", u"0", u"3628800"},    {u"0!1!", u"0", u"39916800"},  {u"2!2!2!", u"0", u"222"},
      {u"5!5!", u"0", u"120120"},     {u"5!+5!5!", u"0", u"120240"}, {u"3!0!0!", u"0", nullptr},
  };
  for (const Row& row : rows) Check(row);
}

TEST(TermPasses, LettersShareOneClose) {
  const Row rows[] = {
      {u"CC(2,3)", u"0", u"1"},         {u"CCC(2,3)", u"0", u"1"},        {u"AA(2,3)", u"0", u"1"},
      {u"WW(1,3)", u"0", u"1"},         {u"TT(2)", u"0", u"1"},           {u"CC(2,3)+C(2,3)", u"0", u"4"},
      {u"C(2,3)+CC(2,3)", u"0", nullptr}, {u"C)C)C", u"0", nullptr},
  };
  for (const Row& row : rows) Check(row);
}

// A copy that ends a stretch takes its ")" away: the rest joins the next stretch.
TEST(TermPasses, CopiesJoinStretches) {
  const Row rows[] = {
      {u"C(1)CZC(1)Y)KCZC(1)Y)", u"0", u"1"},
      {u"C(1,2)+C1C(1,2)+5)", u"0", u"68"},
      {u"T(2)+TT(2)+3)", u"0", u"12"},
  };
  for (const Row& row : rows) Check(row);
}

TEST(TermPasses, MultisetOpenBeyondClose) {
  const Row rows[] = {
      {u"P)(1)", u"0", u"1"},   {u"P)(2)+P)(2)", u"0", u"1"}, {u"PP(2)", u"0", u"0.5"}, {u"P2)(1)", u"0", u"2"},
      {u"P(1)P(2)", u"0", u"10.5"}, {u"P)(P)(P)", u"0", nullptr}, {u"P3(1)!", u"0", nullptr},
  };
  for (const Row& row : rows) Check(row);
}

// A copy of the leftmost term can stand inside another term, take away the
// "(" or ")" that another term ended at, or swallow later P's.
TEST(TermPasses, MultisetCopiesChangeOtherTerms) {
  const Row rows[] = {
      {u"P)(P1)+P)(P1)", u"0", u"2"},      // each copy swallows a P
      {u"P(1)+PXP(1)(2)", u"0", u"1.5"},   // the copy takes the outer term's "("
      {u"P(1)+PP(1)(2)", u"0", u"1.5"},
      {u"P(1)+P3(P(1),2)", u"0", u"4"},    // the copy takes the outer term's ")"
      {u"P(2)+P1(P(2),1)", u"0", u"1.5"},
      {u"P4(1,P(1),2)", u"0", u"24"},
      {u"P(1)+P(2P(1)", u"0", nullptr},    // no ")" left for the outer term
      {u"P(1)+PP(1)", u"0", nullptr},      // no "(" left
      {u"P)(1)P)(1)", u"0", u"11"},
      {u"P)(P)(1)", u"0", u"11"},          // the second P lies in the first term
      {u"P2(1)+P2(1)P2(1)", u"0", u"24"},
      {u"P(P(P(1)))", u"0", u"1"},
  };
  for (const Row& row : rows) Check(row);
}

// Runs of P before one "(": a run is one term, or loses its last P to a copy.
TEST(TermPasses, MultisetRuns) {
  const Row rows[] = {
      {u"PPPP(1)", u"0", u"1"},           {u"PPP(1,1)", u"0", u"1"},
      {u"PPPP(1)+P(1)", u"0", u"2"},      {u"P(1)+PPPP(1)", u"0", nullptr},
      {u"P(1)+P1(2)+PP(1)(2)", u"0", u"2"}, {u"P(1)+PPP(1)(0)(0)", u"0", u"11"},
  };
  for (const Row& row : rows) Check(row);
}

// A "(" before a copy that stays closes at the first ")" after the copy.
TEST(TermPasses, MultisetOpenKeptBeforeCopy) {
  const Row rows[] = {
      {u"P)(1)+P(PP)(1))", u"0", u"2"},
      {u"(P)(1)+P)(1))*3", u"0", u"6"},
      {u"P)(2)+(P(2P)(2)+1)", u"0", u"0.5"},
      {u"P)(1)+(PP)(1))", u"0", nullptr},
      {u"P)()P(P)P(P)()", u"0", nullptr},  // the copy takes the ")" of the P before it
  };
  for (const Row& row : rows) Check(row);
}

// Positions beyond 32767 fail the term whose P, "(" or ")" stands there, but
// not a copy there.
TEST(TermPasses, MultisetNearThePositionLimit) {
  const Text blanks(32762, u' ');
  const struct {
    Text expression;
    const char16_t* answer;
  } cases[] = {
      {Text(32763, u' ') + u"P(1)", u"1"},              // the ")" at 32767
      {Text(32766, u' ') + u"P(1)", nullptr},           // the P at 32767: the step past it overflows
      {Text(32760, u' ') + u"P(1)+P(1)", u"2"},         // the copy ends beyond
      {u"P(1)+" + blanks + u"P(1)", u"2"},              // the copy starts beyond
      {Text(32765, u' ') + u"PP(1)", nullptr},          // the "(" at 32768
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.expression.size()) + " characters");
    const orvane::CalcOutcome got = orvane::Calculate(c.expression, u"0");
    EXPECT_EQ(got.answer, c.answer ? std::optional<Text>(c.answer) : std::nullopt) << got.reason;
    EXPECT_EQ(got.answer, Literal::Calculate(c.expression, u"0"));
  }
}

TEST(TermPasses, AnswerInTerms) {
  const Row rows[] = {
      {u"ANS!", u"5", u"120"},     {u"ANS!!", u"3", u"720"},  {u"ANSANS!", u"1", u"39916800"},
      {u"C(ANS)", u"2", u"0"},     {u"A(2,ANS)!", u"3", u"720"},
      {u"ANS!", kLongAnswer, u"-0.111111111111111"},
      {u"P3(ANS)", kLongAnswer, u"6"},     {u"P(1,ANS)+PANS(ANS)", kLongAnswer, u"2"},
  };
  for (const Row& row : rows) Check(row);
}

// Pieces that make terms depend on each other.
const char16_t* const kPieces[] = {u"C", u"A", u"W", u"T", u"P", u"!", u"(", u")", u",", u"0", u"1", u"2",
                                   u"3", u"5", u"+", u"-", u".", u"E", u"C(", u"(1)", u"!!", u"2,3)", u"ANS"};

// Pieces whose copies join stretches again and again.
const char16_t* const kJoining[] = {u"C", u"C(1)", u"C(2)", u")", u"Y)", u"1", u"0", u"CC", u"+", u",", u"C0", u"!"};

// Pieces that make P terms hold, swallow and end at each other's marks.
const char16_t* const kMultisets[] = {u"P", u"P", u"P", u"(", u"(", u")", u")", u"0", u"1", u"2", u"+", u",",
                                      u"X", u"P)", u")(", u"(1)", u"P(", u"PP", u"(0)", u"2)", u"PPPP", u"ANS"};

template <std::size_t N>
Text RandomText(std::mt19937& rng, std::size_t pieces, const char16_t* const (&from)[N]) {
  std::uniform_int_distribution<std::size_t> pick(0, N - 1);
  Text out;
  for (std::size_t i = 0; i < pieces; ++i) out += from[pick(rng)];
  return out;
}

TEST(TermPasses, RandomDependentTermsAgreeWithLiteral) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> length(1, 30);
  const Text boxes[] = {u"0", u"3", u"-2.5", kLongAnswer, u"C(1)"};
  for (int i = 0; i < 20000; ++i) ExpectAsLiteral(RandomText(rng, length(rng), kPieces), boxes[i % 5]);
  std::uniform_int_distribution<std::size_t> longer(10, 80);
  for (int i = 0; i < 8000; ++i) ExpectAsLiteral(RandomText(rng, longer(rng), kJoining), u"0");
}

TEST(TermPasses, RandomMultisetTermsAgreeWithLiteral) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<std::size_t> length(1, 40);
  const Text boxes[] = {u"0", kLongAnswer, u"P(1)"};
  for (int i = 0; i < 20000; ++i) ExpectAsLiteral(RandomText(rng, length(rng), kMultisets), boxes[i % 3]);
  std::uniform_int_distribution<std::size_t> longer(100, 400);
  for (int i = 0; i < 300; ++i) ExpectAsLiteral(RandomText(rng, longer(rng), kMultisets), u"0");
}

// Lists that all read as 0, one for each i: its bits as zeros and blanks.
Text ZeroList(int i) {
  Text s = u"0";
  for (int bit = 15; bit >= 0; --bit)
    if (i >> bit) s += (i >> bit) & 1 ? u'0' : u' ';
  return s;
}

// Long runs of P that copies peel or move from one group to the next.
TEST(TermPasses, LongMultisetShapesAgreeWithLiteral) {
  Text fronts = u"P(0)+", lists = u"(0)";
  for (int i = 1; i < 400; ++i) {
    fronts += u"P1(" + ZeroList(i) + u")+";
    lists += u"(" + ZeroList(i) + u")";
  }
  ExpectAsLiteral(fronts + Text(400, u'P') + lists, u"0");
  Text kept, blocks;
  for (int i = 0; i < 300; ++i) {
    kept += u"P)(" + ZeroList(i) + u")+";
    blocks += u"(PP)(" + ZeroList(i) + u"))";
  }
  ExpectAsLiteral(kept + blocks, u"0");
  Text chained;
  for (int i = 0; chained.size() < 6000; ++i) chained += u"P)(" + ZeroList(i);
  ExpectAsLiteral(chained + u")", u"0");
  Text swallowing;
  for (int i = 0; swallowing.size() < 6000; ++i) swallowing += u"+P)(P" + ZeroList(i % 300) + u")";
  ExpectAsLiteral(swallowing, u"0");
  // Texts of the window's "P", "(" and ")" alone: copies that take the ")"
  // of the term before them, and one term that holds every mark.
  Text takingCloses = Repeat(u"P))P(", 1200);
  for (const std::size_t cut : {5993u, 5994u, 5995u}) ExpectAsLiteral(takingCloses.substr(0, cut) + u"1)", u"0");
  ExpectAsLiteral(Text(5995, u'P') + u"(1,1)", u"0");
  ExpectAsLiteral(Text(3000, u'P') + Text(2998, u'(') + u"1)", u"0");
}

// The worst shapes of the benchmark, at lengths the literal evaluation still
// takes in well under a second.
TEST(TermPasses, LongShapesAgreeWithLiteral) {
  Text distinct, runs, multisets, merging = u"C(1)";
  for (int i = 0; distinct.size() < 32700; ++i) distinct += u"+C(" + Ascii(std::to_string(i % 5 + 1) + "," + std::to_string(i % 997 + 6)) + u")";
  for (int i = 0; runs.size() + i < 32700; ++i) runs += u"+" + Text(static_cast<std::size_t>(i + 1), u'C') + u"(1," + Ascii(std::to_string(i % 9)) + u")";
  for (int i = 0; multisets.size() < 8000; ++i) multisets += u"+P)(" + Text(static_cast<std::size_t>(i / 160), u'0') + Ascii(std::to_string(i % 160)) + u")";
  for (int i = 0; merging.size() < 16000; ++i) merging += u"C" + Ascii(std::to_string(i)) + u"C(1)Y)";
  ExpectAsLiteral(u"0" + Repeat(u"!", 12000), u"0");
  ExpectAsLiteral(distinct + u"+CC(2,3)", u"0");
  ExpectAsLiteral(runs, u"0");
  ExpectAsLiteral(Text(2047, u'C') + u")" + Text(6144, u'C'), u"0");
  ExpectAsLiteral(Repeat(u"C", 500) + u"(2,3)" + Repeat(u"C(2,3)", 100), u"0");
  ExpectAsLiteral(multisets, u"0");
  ExpectAsLiteral(merging, u"0");
  Text fronts = u"C(1)+C0Z1)", tails;
  for (int i = 2; i <= 300; ++i) fronts += u"+C1Z" + Ascii(std::to_string(i)) + u")";
  for (int i = 1; i <= 300; ++i) tails += u"Z" + Ascii(std::to_string(i)) + u")";
  ExpectAsLiteral(fronts + u"+" + Text(3000, u'C') + u"C(1)" + tails, u"0");
  ExpectAsLiteral(fronts + u"+" + Text(3000, u'C') + u"C(1)" + tails + u"+5", u"0");
  ExpectAsLiteral(u"0" + Repeat(u"!", 2000) + Repeat(u"ANS", 2000), kLongAnswer);
  ExpectAsLiteral(Repeat(u"+ANS!", 6553), kLongAnswer);
}

}  // namespace
