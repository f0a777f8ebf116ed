// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes, read as UTF-8, as the expression (and, after a
// line feed, as the answer box). Nothing may crash, hang or leak, every
// outcome is a number text or a failure with a reason, and on texts short
// enough for it the literal step-by-step evaluation agrees.

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "orvane/Calculate.h"
#include "orvane/NumberText.h"
#include "orvane/StringStuff.h"
#include "reference/LiteralEngine.h"

namespace {

// A number text is what number-to-text gives back for its own value.
bool IsNumberText(const orvane::Text& text) {
  return !text.empty() && orvane::NumberToText(orvane::TextToNumber(text)) == text;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

// The literal evaluation is quadratic; longer texts only check soundness.
constexpr std::size_t kCompared = 4096;

template <typename F>
std::variant<orvane::Text, orvane::ErrorKind> Outcome(F f) {
  try {
    return f();
  } catch (const orvane::RunTimeError& e) {
    return e.kind();
  }
}

void CompareWithLiteral(const orvane::Text& expression, const orvane::Text& answerBox) {
  Require(orvane::Calculate(expression, answerBox).answer == Literal::Calculate(expression, answerBox));
  Require(Outcome([&] { return StringStuff::EvalParens(expression); }) ==
          Outcome([&] { return Literal::EvalParens(expression); }));
  Require(Outcome([&] { return StringStuff::EvalFlat(expression); }) ==
          Outcome([&] { return Literal::EvalFlat(expression); }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto split = bytes.find('\n');
  const orvane::Text expression = orvane::FromUtf8(bytes.substr(0, split));
  const orvane::Text answerBox = split == std::string_view::npos ? u"0" : orvane::FromUtf8(bytes.substr(split + 1));

  const orvane::CalcOutcome outcome = orvane::Calculate(expression, answerBox);
  Require(outcome.answer ? IsNumberText(*outcome.answer) && outcome.reason.empty() : !outcome.reason.empty());

  try {
    Require(IsNumberText(StringStuff::EvalFlat(expression)));
  } catch (const orvane::RunTimeError&) {
  }
  if (expression.size() <= kCompared) CompareWithLiteral(expression, answerBox);
  return 0;
}
