// SPDX-License-Identifier: MIT
// clazy:excludeall=non-pod-global-static,returning-void-expression
// (each TEST() registers itself in a static, and ASSERT_* returns from the test)
// Text helpers and the two textual evaluators, checked against hand-worked results.
#include <gtest/gtest.h>

#include <string>

#include "orvane/RunTimeError.h"
#include "orvane/StringStuff.h"

namespace {

using orvane::ErrorKind;
using orvane::RunTimeError;
using orvane::Text;

// Markers for a raised error, so that a table lists values and failures side by side.
constexpr const char16_t* kOverflow = u"<integer overflow>";
constexpr const char16_t* kDivZero = u"<division by zero>";
constexpr const char16_t* kFloat = u"<floating-point>";
constexpr const char16_t* kInvalid = u"<invalid argument>";

template <class Call>
Text Outcome(Call&& call) {
  try {
    return Text(call());
  } catch (const RunTimeError& e) {
    switch (e.kind()) {
      case ErrorKind::IntegerOverflow: return kOverflow;
      case ErrorKind::DivisionByZero: return kDivZero;
      case ErrorKind::FloatingPoint: return kFloat;
      case ErrorKind::InvalidArgument: return kInvalid;
    }
  }
  return u"<unknown kind>";
}

Text Repeat(char16_t c, int count) { return Text(static_cast<std::size_t>(count), c); }

// count levels of parentheses around inner.
Text Nest(int count, const Text& inner) { return Repeat(u'(', count) + inner + Repeat(u')', count); }

constexpr const char16_t* kPlaceholder = u"\\\\";

// ---------------------------------------------------------------- GetField

struct GetFieldRow {
  const char16_t* text;
  int index;
  const char16_t* delimiter;
  const char16_t* want;
};

const GetFieldRow kGetField[] = {
    {u"a+b+c", 2, u"+", u"b"},
    {u"a,b,c", 1, u",", u"a"},
    {u"a,b,c", 3, u",", u"c"},
    // A delimiter at either end bounds the outer field, it adds no empty one.
    {u"+a+b", 1, u"+", u"a"},
    {u"a+b+", 2, u"+", u"b"},
    {u"a++b", 2, u"+", u""},
    {u"a++b", 3, u"+", u"b"},
    {u"a+b", 0, u"+", u""},
    // Beyond the last field: the whole padded text, then empty, then the cycle again.
    {u"a+b", 3, u"+", u"a+b+"},
    {u"a+b", 4, u"+", u""},
    {u"a+b", 5, u"+", u"a"},
    {u"a+b", 6, u"+", u"b"},
    {u"a+b", 32766, u"+", u"b"},
    {u"+a+b", 3, u"+", u"a+b+"},
    {u"5", 2, u",", u"5,"},
    {u"2*", 2, u"*", u"2*"},
    {u"", 1, u",", u""},
    {u"", 2, u",", u","},
    {u"x<>y<>z", 2, u"<>", u"y"},
    {u"x<>y<>z", 3, u"<>", u"z"},
    {u"x<>y", 3, u"<>", u"x<>y<>"},
    {u"\u00e9+\u00fc", 2, u"+", u"\u00fc"},
    {u"a+b", -1, u"+", kInvalid},
    {u"a+b", 32767, u"+", kOverflow},
};

TEST(GetField, Table) {
  for (const auto& row : kGetField) {
    EXPECT_EQ(Outcome([&] { return orvane::StringStuff::GetField(row.text, static_cast<orvane::Int16>(row.index), row.delimiter); }),
              Text(row.want))
        << "index " << row.index << " of " << testing::PrintToString(Text(row.text));
  }
}

// The working text gets the two delimiters added, so 32765 characters is the most it takes.
TEST(GetField, LongestText) {
  const Text fits = Repeat(u'7', 32765);
  EXPECT_EQ(Outcome([&] { return orvane::StringStuff::GetField(fits, 1, u"+"); }), fits);
  EXPECT_EQ(Outcome([&] { return orvane::StringStuff::GetField(Repeat(u'7', 32766), 1, u"+"); }), Text(kOverflow));
}

// ------------------------------------------------------ RemoveChar, CountChar

struct CharRow {
  const char16_t* text;
  const char16_t* ch;
  const char16_t* removed;
  int count;
};

const CharRow kChars[] = {
    {u"a b c", u" ", u"abc", 2},
    {u"1+2+3", u"+", u"123", 2},
    {u"", u"x", u"", 0},
    {u"abc", u"", u"abc", 0},
    {u"banana", u"an", u"bnn", 3},  // only the first character of ch counts
    {u"AaA", u"a", u"AA", 1},
    {u"x\\y\\", u"\\", u"xy", 2},
    {u"h\u00e9ll\u00e9", u"\u00e9", u"hll", 2},
    {u"a\u00e9e", u"e", u"a\u00e9", 1},  // an accented letter is not its base letter
};

TEST(RemoveChar, Table) {
  for (const auto& row : kChars) {
    EXPECT_EQ(orvane::StringStuff::RemoveChar(row.text, row.ch), Text(row.removed))
        << testing::PrintToString(Text(row.text)) << " without " << testing::PrintToString(Text(row.ch));
  }
}

TEST(CountChar, Table) {
  for (const auto& row : kChars) {
    EXPECT_EQ(orvane::StringStuff::CountChar(row.text, row.ch), row.count)
        << testing::PrintToString(Text(row.text)) << " counting " << testing::PrintToString(Text(row.ch));
  }
}

// Lengths are counted in UTF-16 units, as the text box counts them.
struct LongRow {
  const char* what;
  Text text;
  int count;  // of 'a'; -1 when the length is already too much
  Text removed;
};

TEST(RemoveCharCountChar, LengthLimit) {
  const Text smile = u"\U0001F600";  // two UTF-16 units
  const LongRow rows[] = {
      {"32766 plain", Repeat(u'a', 32766), 32766, u""},
      {"32765 + e-acute", Repeat(u'a', 32765) + u"\u00e9", 32765, u"\u00e9"},
      {"32764 + surrogate pair", Repeat(u'a', 32764) + smile, 32764, smile},
      {"32767 plain", Repeat(u'a', 32767), -1, u""},
      {"32766 + e-acute", Repeat(u'a', 32766) + u"\u00e9", -1, u""},
      {"32765 + surrogate pair", Repeat(u'a', 32765) + smile, -1, u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.count < 0) {
      EXPECT_EQ(Outcome([&] { return orvane::StringStuff::RemoveChar(row.text, u"a"); }), Text(kOverflow));
      EXPECT_EQ(Outcome([&] {
                  orvane::StringStuff::CountChar(row.text, u"a");
                  return Text(u"counted");
                }),
                Text(kOverflow));
    } else {
      EXPECT_EQ(orvane::StringStuff::RemoveChar(row.text, u"a"), row.removed);
      EXPECT_EQ(orvane::StringStuff::CountChar(row.text, u"a"), row.count);
    }
  }
  EXPECT_EQ(orvane::StringStuff::CountChar(Repeat(u'\u00e9', 32766), u"\u00e9"), 32766);
}

// ---------------------------------------------------------------- EvalFlat

struct EvalRow {
  const char16_t* text;
  const char16_t* want;
};

const EvalRow kEvalFlat[] = {
    {u"", u"0"},
    {u"1+2", u"3"},
    {u"2*3+4*5", u"26"},
    {u"5-3", u"2"},
    {u"+5", u"5"},
    {u"-5*2", u"-10"},
    {u"8/2/2", u"2"},
    {u"1/3", u"0.333333333333333"},
    {u"1/3*3", u"0.999999999999999"},  // the quotient goes through its 15-digit text
    {u"0.1+0.2", u"0.3"},
    {u"2 + 3", u"5"},
    {u"(3", u"0"},
    {u"4)", u"4"},
    {u"\u00e9", u"0"},
    {u"5\u00e9+1", u"6"},
    {u"5\u22123", u"5"},  // a typographic minus is no operator
    // Empty pieces count 0; a trailing operator takes the whole text once more.
    {u"2**3", u"0"},
    {u"2+", u"4"},
    {u"1+2+", u"4"},
    {u"2*", u"4"},
    {u"3*", u"9"},
    {u"2*3*", u"12"},
    {u"2/", u"2"},
    // Runs of signs act as one sign; after "*" or "/" it is the next number's sign.
    {u"2++3", u"5"},
    {u"2*-3", u"-6"},
    {u"2 * -3", u"-6"},
    {u"2*\n-3", u"-6"},
    {u"2/-4", u"-0.5"},
    {u"5--3", u"8"},
    {u"5 - -3", u"8"},
    {u"5 -\t-3", u"8"},
    {u"5---3", u"2"},
    {u"5+-3", u"2"},
    {u"5 + - 3", u"2"},
    {u"--5", u"5"},
    {u"-+5", u"-5"},
    {u"+-5", u"-5"},
    {u"2*+3", u"6"},
    {u"2*--3", u"6"},
    {u"2*-+-3", u"6"},
    {u"2/--4", u"0.5"},
    {u"6/-2*-1", u"3"},
    {u"1/-3*3", u"-0.999999999999999"},
    {u"0*-1", u"0"},
    // Exponent signs belong to their number.
    {u"1E+20", u"1E+20"},
    {u"1E-05", u"1E-05"},
    {u"1e-5", u"1E-05"},
    {u"2.43290200817664E+18", u"2.43290200817664E+18"},
    {u"2E3", u"2000"},
    {u"1.E+2", u"100"},
    {u"5E-1+1", u"1.5"},
    {u"1E+20-1E+20", u"0"},
    {u"1E+20+1", u"1E+20"},
    {u"2*-1E-05", u"-2E-05"},
    {u"E+5", u"5"},  // no digit before the E: an ordinary operator
    {u"1E+", u"2"},  // no digit after the sign: terms '1E' and '1E+'
    // Behind the digits of "&H" or "&O" an "E" is no exponent letter.
    {u"&H1E+5", u"35"},
    {u"2*&H1E+5", u"65"},
    {u"&h1e+5", u"35"},
    {u"& H 1 E+5", u"35"},
    {u"&H1E-2", u"28"},
    {u"3+&H1E+5", u"38"},
    {u"&O17E+1", u"16"},
    {u"&o17e-1", u"14"},
    {u"&O18E+1", u"1"},  // "8" ends the octal digits: the "E" is an exponent letter again
    {u"1E+5", u"100000"},
    {u"&H1+1E+5", u"100001"},
    // Failures.
    {u"6/0", kDivZero},
    {u"0/0", kDivZero},
    {u"1E308*10", kFloat},
    {u"-1E308*10", kFloat},
    {u"1E308+1E308", kFloat},
    {u"1E400", kFloat},
};

TEST(EvalFlat, Table) {
  for (const auto& row : kEvalFlat) {
    EXPECT_EQ(Outcome([&] { return orvane::StringStuff::EvalFlat(row.text); }), Text(row.want))
        << "EvalFlat of " << testing::PrintToString(Text(row.text));
  }
}

// With its two added delimiters a term of 32766 characters no longer fits.
TEST(EvalFlat, LengthLimit) {
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::EvalFlat(Repeat(u'0', 32764) + u"7"); }), u"7");
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::EvalFlat(Repeat(u'0', 32765) + u"7"); }), Text(kOverflow));
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::EvalFlat(Repeat(u'0', 32766) + u"7"); }), Text(kOverflow));
}

// The limit holds for the text as given, and in the rewritten text an
// exponent sign is the one character it is.
TEST(EvalFlat, RewrittenLengthLimit) {
  const auto repeated = [](const Text& piece, int count, const Text& tail) {
    Text out;
    for (int i = 0; i < count; ++i) out += piece;
    return out + tail;
  };
  const struct {
    Text text;
    Text want;
  } rows[] = {
      {repeated(u"6.402373705728E+15+", 1724, u"1"), u"1.10376922686751E+19"},
      {repeated(u"6.402373705728E+15+", 1725, u"1"), kOverflow},  // 32776 characters
      {repeated(u"1E+0/", 4680, u"1"), u"1"},
      {repeated(u"1E+0/", 4681, u"1"), kOverflow},  // "/" becomes "*1/": 32768 characters
      {u"1" + Repeat(u'-', 32764) + u"1", u"2"},
      {u"1" + Repeat(u'-', 32765) + u"1", kOverflow},
      {u"1" + Repeat(u'-', 39998) + u"1", kOverflow},
      {Repeat(u' ', 32764), u"0"},
      {Repeat(u' ', 32767), kOverflow},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Outcome([&] { return orvane::StringStuff::EvalFlat(row.text); }), row.want) << row.text.size() << " characters";
  }
}

// ---------------------------------------------------------------- GetGroup

struct GetGroupRow {
  const char16_t* text;
  int n;
  Text replacement;
  const char16_t* want;
};

TEST(GetGroup, Table) {
  const GetGroupRow rows[] = {
      {u"((2))", 1, u"", u"(2)"},
      {u"((2))", 2, u"", u"2"},
      {u"((1)+2)", 2, u"", u"1"},
      {u"(1+2)*(3+4)", 2, u"", u"3+4"},
      {u"a(b)c", 3, u"", u""},
      {u"(1+2", 1, u"", u""},
      {u"a)b(c)", 1, u"", u"c"},  // a ")" before any group is ignored
      {u"\u00e9(\u00fc)", 1, u"", u"\u00fc"},
      {u"(1+2)*(3+4)", 1, kPlaceholder, u"\\\\*(3+4)"},
      {u"(2)*((2)+1)", 1, u"X", u"X*(X+1)"},
      {u"(1+2()", 1, u"X", u"(1+2X"},  // a group that never closes is empty
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Outcome([&] { return orvane::StringStuff::GetGroup(row.text, static_cast<orvane::Int16>(row.n), row.replacement); }),
              Text(row.want))
        << "group " << row.n << " of " << testing::PrintToString(Text(row.text));
  }
}

// The depth counter holds 255 levels within one group.
TEST(GetGroup, NestingLimit) {
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::GetGroup(Nest(255, u"1"), 1, u""); }), Nest(254, u"1"));
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::GetGroup(Nest(256, u"1"), 1, u""); }), Text(kOverflow));
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::GetGroup(Nest(256, u"1"), 2, u""); }), Nest(254, u"1"));
}

// -------------------------------------------------------------- EvalParens

const EvalRow kEvalParens[] = {
    {u"1+2", u"3"},
    {u"", u"0"},
    {u"(1+2)+1", u"3+1"},  // groups are replaced, the rest is left for the caller
    {u"(1+2)*(3+4)", u"3*7"},
    {u"((2))", u"2"},
    {u"((1)+2)", u"3"},
    {u"2*(3-(1+1))", u"2*1"},
    {u"(1)+(2)+(3)", u"1+2+3"},
    {u"(2)*((2)+1)", u"2*3"},
    {u"(2)+(2)", u"2+2"},
    {u"(1)+((1)+2)", u"1+3"},
    {u"2*()", u"2*0"},
    {u"-(2+3)", u"-5"},
    {u"2*(1-4)", u"2*-3"},
    {u"2(3)", u"23"},
    {u"(1/3)*3", u"0.333333333333333*3"},
    {u"(1E+20)", u"1E+20"},
    {u"(1+2", u"(1+2"},
    {u"1+2)", u"3"},
    {u"(1+2()", u"(1+20"},
    {u"(\u00e9)+1", u"0+1"},
    {u"(6/0)", kDivZero},
    {u"1+(2*(1E400))", kFloat},
    // Called on its own, a backslash pair of the text takes a group's value.
    {u"1\\\\+(2)", u"12+2"},
    {u"(1)+\\\\", u"1+1"},
};

TEST(EvalParens, Table) {
  for (const auto& row : kEvalParens) {
    EXPECT_EQ(Outcome([&] { return orvane::StringStuff::EvalParens(row.text); }), Text(row.want))
        << "EvalParens of " << testing::PrintToString(Text(row.text));
  }
}

TEST(EvalParens, Limits) {
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::EvalParens(Nest(255, u"2-5")); }), u"-3");
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::EvalParens(Nest(256, u"1")); }), Text(kOverflow));
  // 32766 characters in all are taken, 32767 are not.
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::EvalParens(u"(" + Repeat(u'0', 32763) + u"5)"); }), u"5");
  EXPECT_EQ(Outcome([] { return orvane::StringStuff::EvalParens(u"(" + Repeat(u'0', 32764) + u"5)"); }), Text(kOverflow));
}

}  // namespace
