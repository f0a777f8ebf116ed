// SPDX-License-Identifier: MIT
// clazy:excludeall=non-pod-global-static,returning-void-expression
// (each TEST() registers itself in a static, and ASSERT_* returns from the test)
// The engine's one-walk algorithms against the literal step-by-step
// evaluation, on many random texts: the results, and the error kinds, must be
// the same. Also: the outcome depends on the two texts alone.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <variant>

#include "orvane/Calculate.h"
#include "orvane/Counting.h"
#include "orvane/StringStuff.h"
#include "reference/LiteralEngine.h"
#include "../../bench/Shapes.h"

namespace {

using orvane::ErrorKind;
using orvane::Text;

// Pieces that exercise every rule: terms, signs, exponents, groups, stray
// and lower-case letters, blanks and a non-ASCII character.
const char16_t* const kPieces[] = {
    u"1",   u"2",   u"5",   u"7",   u"0",    u"12",  u"3.5", u".",   u"+",   u"-",    u"*",  u"/",
    u"(",   u")",   u"()",  u"((",  u"))",   u",",   u"!",   u"C(",  u"A(",  u"W(",   u"T(", u"P",
    u"P5(", u"c",   u"a",   u"E",   u"e",    u"E+",  u"E-",  u"1E+20", u"1E-05", u" ", u"\t",
    u"ANS", u"x",  u"é",   u"2,3",  u"15!", u"5!",  u"!!",  u"--",  u"&H1F", u"(1/3)", u"(2)"};

Text RandomText(std::mt19937& rng, std::size_t pieces) {
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
  Text out;
  for (std::size_t i = 0; i < pieces; ++i) out += kPieces[pick(rng)];
  return out;
}

// A well-formed expression of terms, numbers and groups, nested at random.
Text RandomExpression(std::mt19937& rng, int depth) {
  static const char16_t* const terms[] = {u"C(2,5)", u"A(3,7)", u"W(2,3)", u"T(4)", u"5!", u"P6(1,2,3)",
                                          u"12",     u"0.5",    u"3",      u"ANS",  u"C(1,4)!", u"9!"};
  static const char16_t* const ops[] = {u"+", u"-", u"*", u"/", u"*-", u"--"};
  std::uniform_int_distribution<int> count(1, 5), term(0, 11), op(0, 5), coin(0, 3);
  Text out;
  const int n = count(rng);
  for (int i = 0; i < n; ++i) {
    if (i) out += ops[op(rng)];
    if (depth > 0 && coin(rng) == 0) {
      out += u"(" + RandomExpression(rng, depth - 1) + u")";
    } else {
      out += terms[term(rng)];
    }
  }
  return out;
}

// A result text, or the kind of error raised instead.
using Outcome = std::variant<Text, ErrorKind>;

Outcome OutcomeOf(const std::function<Text()>& f) {
  try {
    return f();
  } catch (const orvane::RunTimeError& e) {
    return e.kind();
  }
}

}  // namespace

namespace Literal {
void PrintTo(const NotReadReport& report, std::ostream* out) {
  for (const Text& piece : report.named) *out << '"' << orvane::ToUtf8(piece) << "\" ";
  *out << "and " << report.others << " more";
}
}  // namespace Literal

namespace {

Literal::NotReadReport NotReadOf(const orvane::CalcOutcome& outcome) { return {outcome.notRead, outcome.moreNotRead}; }

void ExpectSameEverywhere(const Text& text, const Text& answerBox) {
  SCOPED_TRACE(orvane::ToUtf8(text));
  EXPECT_EQ(OutcomeOf([&] { return orvane::StringStuff::EvalFlat(text); }), OutcomeOf([&] { return Literal::EvalFlat(text); }));
  EXPECT_EQ(OutcomeOf([&] { return orvane::StringStuff::EvalParens(text); }), OutcomeOf([&] { return Literal::EvalParens(text); }));
  const orvane::CalcOutcome outcome = orvane::Calculate(text, answerBox);
  EXPECT_EQ(outcome.answer, Literal::Calculate(text, answerBox));
  EXPECT_EQ(NotReadOf(outcome), Literal::NotRead(text, answerBox));
}

// What the arithmetic passes over, in the user's spelling, by the engine and
// by the literal evaluation alike; a fully read expression reports nothing.
TEST(Reference, NotRead) {
  const struct {
    Text expression;
    Literal::NotReadReport notRead;
  } rows[] = {
      {u"2^3", {{u"^3"}}},
      {u"x", {{u"x"}}},
      {u"0,5+1", {{u",5"}}},
      {u"3 x 4", {{u"x 4"}}},
      {u"2^3+2^3*(1x)", {{u"^3", u"x"}}},  // once each, in the expression's order
      {u"(2y)*3Z", {{u"y", u"Z"}}},
      {u"1E+5-1E", {{u"E"}}},  // an "E" with no digits ends its number before it
      {u"-.5 q ", {{u"q"}}},
      {u"&HFG/&O78", {{u"G", u"8"}}},
      {u"C(2,5)+1", {}},
      {u"1E+20*2.5E-3 - &HFF", {{u"&HFF"}}},  // "&H" only opens a text, not a signed number
      {u"1E+20*2.5E-3+&HFF", {}},
      {u"6/0", {}},  // no answer, nothing to report
      // A term's arguments, its own brackets aside, and what follows its second.
      {u"c(2x,5)+t(3 )+P6(1,2y)", {{u"x", u"y"}}},
      {u"A(2,5,7)+W(2,5 ,1)+T(5,6)+P6,7(1,2)", {{u",7", u",1", u",6"}}},
      {u"C(5)+A(5)+P6(6)+T()", {}},
      // Beyond five pieces, the shortest are named and the others counted.
      {u"1x+2yy+3z+4qq+5r+6s+7u", {{u"x", u"z", u"r", u"s", u"u"}, 2}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(orvane::ToUtf8(row.expression));
    EXPECT_EQ(NotReadOf(orvane::Calculate(row.expression, u"0")), row.notRead);
    EXPECT_EQ(Literal::NotRead(row.expression, u"0"), row.notRead);
  }
  // Found by the fuzzer: the engine reads these groups in another order than
  // the literal evaluation, and the pieces come out in the same order all
  // the same.
  const Text reordered(u"\u0001*\uFFFD-('\0\0)\0\u0001\uFFFD-('\0\0)\0\u0001-*", 22);
  ExpectSameEverywhere(reordered, u"0");
}

TEST(Reference, RandomPiecesAgree) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  for (int i = 0; i < 4000; ++i) ExpectSameEverywhere(RandomText(rng, length(rng)), u"0");
}

TEST(Reference, RandomExpressionsAgree) {
  std::mt19937 rng(7);
  const Text answers[] = {u"0", u"60", u"-2.5", u"6.402373705728E+15", u"1E-05"};
  for (int i = 0; i < 3000; ++i) ExpectSameEverywhere(RandomExpression(rng, 4), answers[i % 5]);
}

// Long texts reach the 16-bit limits and the 8-bit nesting limit.
TEST(Reference, LongTextsAgree) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<std::size_t> pieces(2000, 14000);
  for (int i = 0; i < 12; ++i) ExpectSameEverywhere(RandomText(rng, pieces(rng)), u"0");
  for (int i = 0; i < 12; ++i) {
    Text text;
    while (text.size() < 30000) text += RandomExpression(rng, 6) + u"+";
    text.resize(32766 - static_cast<std::size_t>(i) * 700);
    ExpectSameEverywhere(text, u"0");
  }
  // Group values longer than their groups: the text grows past the limit
  // while the groups are replaced, before a long group shrinks it again.
  for (const int groups : {1300, 1400}) {
    Text text;
    for (int k = 3; k < groups + 3; ++k) text += u"(1/" + orvane::FromUtf8(std::to_string(k)) + u")+";
    Text sum = u"1";
    while (sum.size() < 9000) sum += u"+1";
    text += u"(" + sum + u")";
    ExpectSameEverywhere(text, u"0");
  }
  for (const std::size_t depth : {254, 255, 256, 300}) {
    const Text nested = Text(depth, u'(') + u"1" + Text(depth, u')');
    ExpectSameEverywhere(nested + u"+(1)", u"0");
    ExpectSameEverywhere(u"(1)+" + nested, u"0");
  }
}

// Texts of the longest length the expression box holds, with every piece
// (unclosed and deep groups among them), compared in full.
TEST(Reference, LongestTextsAgree) {
  std::mt19937 rng(32766);
  for (int i = 0; i < 4; ++i) {
    Text text = RandomText(rng, 20000);
    text.resize(32766 - static_cast<std::size_t>(i), u'1');
    ExpectSameEverywhere(text, u"-1.11111111111111E-111");
  }
  // Copies deep inside chains, which the group passes re-key on demand.
  ExpectSameEverywhere(bench::StaleChains(32766), u"0");
  ExpectSameEverywhere(bench::DeepChainCopies(32766), u"0");
  ExpectSameEverywhere(bench::CopiedChains(32766), u"0");
  ExpectSameEverywhere(bench::DeepGrowing(32766), u"0");
  ExpectSameEverywhere(bench::MovedLetters(32766), u"0");
  ExpectSameEverywhere(bench::MovedPs(32766), u"0");
  ExpectSameEverywhere(bench::FrontBeforeLetters(32766), u"0");
  ExpectSameEverywhere(bench::FrontBeforeAs(32766), u"0");
  ExpectSameEverywhere(bench::FrontBeforePs(32766), u"0");
  ExpectSameEverywhere(bench::ShortFrontBeforePs(32766), u"0");
  ExpectSameEverywhere(bench::ShortFrontBeforeLetters(32766), u"0");
}

// The costliest shapes of the benchmarks, and their neighbours across the
// limits, decide alike.
TEST(Reference, BenchmarkShapesAgree) {
  Text (*const shapes[])(std::size_t) = {bench::DistinctGroups,   bench::DeepNesting,         bench::Malformed,
                                         bench::UnclosedAfterGroups, bench::UnclosedCopyAfterGroups,
                                         bench::DeepOpenAfterGroups,
                                         bench::DeepCopyAfterGroups, bench::StaleChains,    bench::CopiedChains,
                                         bench::DeepGrowing,      bench::NestedUnclosed, bench::StrayPieces,
                                         bench::MovedLetters,     bench::MovedPs,             bench::FrontBeforeLetters,
                                         bench::FrontBeforeAs,    bench::FrontBeforePs,       bench::ShortFrontBeforePs,
                                         bench::ShortFrontBeforeLetters};
  for (const auto shape : shapes) {
    for (const std::size_t size : {600, 2048}) ExpectSameEverywhere(shape(size), u"0");
  }
}

// Exponent signs after "&H" and "&O" digits, and the length of the text that
// the final evaluation receives, through the whole command.
TEST(Reference, ExponentSignsAndFlatLengthThroughCalculate) {
  const auto repeated = [](const Text& piece, int count, const Text& tail) {
    Text out;
    for (int i = 0; i < count; ++i) out += piece;
    return out + tail;
  };
  const struct {
    Text expression;
    std::optional<Text> want;
  } rows[] = {
      {u"&H1E+5", u"35"},
      {u"2*&H1E+5", u"65"},
      {u"&h1e+5", u"35"},
      {u"&O17E+1", u"16"},
      {u"1E+5", u"100000"},
      {u"(&H1E+5)*2", u"70"},
      {repeated(u"18!+", 1724, u"1"), u"1.10376922686751E+19"},
      {repeated(u"18!+", 1725, u"1"), std::nullopt},
      {repeated(u"1E+0/", 4680, u"1"), u"1"},
      {repeated(u"1E+0/", 4681, u"1"), std::nullopt},
      {u"1" + Text(32764, u'-') + u"1", u"2"},
      {u"1" + Text(39998, u'-') + u"1", std::nullopt},
      // One number without operators: its fields overflow from 32766 characters on.
      {Text(32764, u'0') + u"7", u"7"},
      {Text(32765, u'0') + u"7", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expression.size());
    EXPECT_EQ(orvane::Calculate(row.expression, u"0").answer, row.want);
    EXPECT_EQ(Literal::Calculate(row.expression, u"0"), row.want);
  }
}

// A pass that takes copies or nested groups along leaves passes over, one
// per "(" it took: they find no group, but still check the length, so a text
// that grew past the limit fails, whether the passes ran in one group or
// inside another.
TEST(Reference, PassesLeftCheckTheLength) {
  const auto repeated = [](const Text& piece, int times) {
    Text out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
  };
  for (const int copies : {1820, 1821}) {
    Text thirds = repeated(u"(1/3)+", copies);
    thirds.pop_back();
    for (const Text& text : {thirds, u"(" + thirds + u")", u"((" + thirds + u"))"}) ExpectSameEverywhere(text, u"0");
  }
}

// Texts that the one walk leaves to the group passes: a "(" that never
// closes with copies of earlier groups after it, more than 255 levels open,
// errors and long values, in every mixture.
TEST(Reference, GroupPassesAgree) {
  std::mt19937 rng(255);
  const Text deep(120, u'(');
  const Text pieces[] = {u"(1)", u"(2)", u"((1))", u"((2)+(1))", u"(", u"((", u")", u"+", u"(1/3)", u"(1/0)", u"()",
                         u"1",   u"*",   u"(2)+(1)", deep,         u"(1E300)*(1E300)", u"(0.333333333333333)"};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1), length(1, 40);
  for (int i = 0; i < 1000; ++i) {
    Text text;
    for (std::size_t k = length(rng); k > 0; --k) text += pieces[pick(rng)];
    ExpectSameEverywhere(text, u"0");
  }
}

// Groups nested in groups, from a small alphabet, so that copies stand deep
// inside chains of other groups and groups become copies of each other only
// once their inner groups are replaced. A "(" that never closes, more than
// 255 levels leave them to the group passes.
Text NestedGroup(std::mt19937& rng, int depth) {
  static const char16_t* const leaves[] = {u"1", u"2", u"1+2", u"3", u"1/3", u"0.333333333333333"};
  std::uniform_int_distribution<int> kind(0, depth > 0 ? 4 : 0), leaf(0, std::size(leaves) - 1), chain(1, 4);
  switch (kind(rng)) {
    case 0:
      return u"(" + Text(leaves[leaf(rng)]) + u")";
    case 1:
      return u"(" + NestedGroup(rng, depth - 1) + u")";
    case 2:
      return Text(static_cast<std::size_t>(chain(rng)), u'(') + NestedGroup(rng, depth - 1) + u"+" +
             NestedGroup(rng, depth - 1) + Text(static_cast<std::size_t>(chain(rng)), u')');
    default:
      return u"(" + NestedGroup(rng, depth - 1) + u"*" + NestedGroup(rng, depth - 1) + u")";
  }
}

TEST(Reference, NestedCopiesAgree) {
  std::mt19937 rng(2612);
  const Text tails[] = {u"+(", u"+(1)+(", u"+" + Text(256, u'(') + u"1" + Text(256, u')'), u"+" + Text(256, u'(') + u"(1)"};
  std::uniform_int_distribution<int> count(1, 12), depth(0, 5);
  for (int i = 0; i < 2000; ++i) {
    Text text;
    for (int k = count(rng); k > 0; --k) text += NestedGroup(rng, depth(rng)) + u"+";
    ExpectSameEverywhere(text + tails[i % 4], u"0");
  }
  // A long chain around copies of the groups before it, shallow enough to be evaluated.
  Text groups;
  for (int k = 0; groups.size() < 3000; ++k) groups += u"(" + orvane::FromUtf8(std::to_string(k % 700)) + u")+";
  ExpectSameEverywhere(groups + u"(" + Text(250, u'(') + groups + u"1" + Text(250, u')'), u"0");
}

// An error in a group: where it stands, what follows it (more groups that
// could grow the text, deeper nesting in the same group, a "(" that never
// closes) decides which error comes first, or whether any does.
TEST(Reference, ErrorsInGroupsAgree) {
  Text groups;
  for (int k = 0; groups.size() < 12000; ++k) groups += u"(" + orvane::FromUtf8(std::to_string(k)) + u")+";
  Text growing;
  for (int k = 3; growing.size() < 20000; ++k) growing += u"(1/" + orvane::FromUtf8(std::to_string(k)) + u")+";
  const Text deep = Text(300, u'(') + u"1" + Text(300, u')');
  Text copies;  // replaced, and grown, together with their first copy
  for (int k = 0; k < 3000; ++k) copies += u"(1/3)+";
  const Text cases[] = {
      groups + u"(1/0)",
      u"(1/0)+" + groups,
      u"(1/0)+" + growing + u"1",
      u"(1/3)+(1/0)+" + copies + u"1",
      u"((1/0)+" + deep + u")",
      u"(" + groups + u"(1/0)",
      u"(1)+((1/0)",
      u"(2)+(1E400)+(3",
      u"((1/3)+(2*(1/0)))+" + growing + u"1",
  };
  for (const Text& text : cases) ExpectSameEverywhere(text, u"0");
}

TEST(Reference, FieldsAndGroupsAgree) {
  std::mt19937 rng(5);
  const char16_t* const delimiters[] = {u"+", u"*", u",", u"/", u"<>", u"++"};
  std::uniform_int_distribution<int> delimiter(0, 5), index(-2, 30), n(0, 6), length(0, 30);
  for (int i = 0; i < 20000; ++i) {
    const Text text = RandomText(rng, static_cast<std::size_t>(length(rng)));
    const auto k = static_cast<orvane::Int16>(i % 500 == 0 ? 32766 + i % 2 : index(rng));
    const Text d = delimiters[delimiter(rng)];
    EXPECT_EQ(OutcomeOf([&] { return orvane::StringStuff::GetField(text, k, d); }), OutcomeOf([&] { return Literal::GetField(text, k, d); }))
        << orvane::ToUtf8(text) << " index " << k;
    const auto g = static_cast<orvane::Int16>(n(rng));
    const Text replacement = i % 2 ? u"X" : u"";
    EXPECT_EQ(OutcomeOf([&] { return orvane::StringStuff::GetGroup(text, g, replacement); }),
              OutcomeOf([&] { return Literal::GetGroup(text, g, replacement); }))
        << orvane::ToUtf8(text) << " group " << g;
  }
  for (const std::size_t size : {32765, 32766, 32767}) {
    const Text digits(size, u'7');
    for (const orvane::Int16 k : {1, 2}) {
      EXPECT_EQ(OutcomeOf([&] { return orvane::StringStuff::GetField(digits, k, u"+"); }),
                OutcomeOf([&] { return Literal::GetField(digits, k, u"+"); }));
    }
    const Text nested = Text(size / 2, u'(') + Text(size - size / 2, u')');
    EXPECT_EQ(OutcomeOf([&] { return orvane::StringStuff::GetGroup(nested, 200, u""); }),
              OutcomeOf([&] { return Literal::GetGroup(nested, 200, u""); }));
  }
}

TEST(Reference, PermutationListsAgree) {
  std::mt19937 rng(3);
  const char16_t* const fields[] = {u"1", u"2", u"0", u"", u"3.5", u"x", u"-1", u"171", u" 2", u"40000"};
  std::uniform_int_distribution<int> field(0, 9), size(0, 12), n(-2, 172);
  for (int i = 0; i < 3000; ++i) {
    Text list;
    for (int k = size(rng); k > 0; --k) list += Text(fields[field(rng)]) + u",";
    if (i % 2) list += fields[field(rng)];
    const auto count = static_cast<orvane::Int16>(n(rng));
    const auto engine = [&]() -> std::variant<double, ErrorKind> {
      try { return orvane::Counting::PermutationsRep(count, list); } catch (const orvane::RunTimeError& e) { return e.kind(); }
    };
    const auto literal = [&]() -> std::variant<double, ErrorKind> {
      try { return Literal::PermutationsRep(count, list); } catch (const orvane::RunTimeError& e) { return e.kind(); }
    };
    EXPECT_EQ(engine(), literal()) << orvane::ToUtf8(list);
  }
}

// The same two texts always give the same outcome, reason included.
TEST(Reference, OutcomeDependsOnTheTextsAlone) {
  std::mt19937 rng(11);
  for (int i = 0; i < 500; ++i) {
    const Text text = i % 2 ? RandomText(rng, 30) : RandomExpression(rng, 3);
    const orvane::CalcOutcome first = orvane::Calculate(text, u"7");
    const orvane::CalcOutcome again = orvane::Calculate(text, u"7");
    EXPECT_EQ(first.answer, again.answer);
    EXPECT_EQ(first.reason, again.reason);
    EXPECT_NE(first.answer.has_value(), !first.reason.empty()) << "an answer comes without a reason, a failure with one";
  }
}

}  // namespace
