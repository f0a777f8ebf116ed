// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes, read as UTF-8, as the expression (and, after a
// line feed, as the answer box). Nothing may crash, hang or leak, every
// outcome is a number text or a failure with a reason, and on texts short
// enough for it the literal step-by-step evaluation agrees, also on what the
// arithmetic passed over. A calculation
// that takes longer than a frame is reported, and kept as a file when
// ORVANE_SLOW_DIR names a folder; ORVANE_ABORT_SLOW=1 makes it a crash
// instead, so that libFuzzer keeps it as its artifact.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
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

// The literal evaluation is quadratic: with the sanitizers a text of some
// 6000 characters of groups and backslashes already takes more than the
// 10 s a unit may. Longer texts only check soundness (and speed).
constexpr std::size_t kCompared = 4096;
// What was not read is compared on shorter texts still: the literal
// evaluation runs once more for it.
constexpr std::size_t kNotReadCompared = 512;

// One frame; the sanitizers slow the engine some 3 to 5 times, so their build
// allows five frames.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kSlowMs = 80;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr double kSlowMs = 80;
#else
constexpr double kSlowMs = 16;
#endif
#else
constexpr double kSlowMs = 16;
#endif

void ReportSlow(std::string_view bytes, double ms) {
  std::fprintf(stderr, "slow input: %.1f ms (limit %.0f ms), %zu bytes\n", ms, kSlowMs, bytes.size());
  if (const char* dir = std::getenv("ORVANE_SLOW_DIR")) {
    const std::string name = std::string(dir) + "/slow-" + std::to_string(std::hash<std::string_view>{}(bytes));
    std::ofstream(name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  if (const char* abortSlow = std::getenv("ORVANE_ABORT_SLOW"); abortSlow && std::string_view(abortSlow) == "1")
    std::abort();
}

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
  Require(Outcome([&] { return orvane::StringStuff::EvalParens(expression); }) ==
          Outcome([&] { return Literal::EvalParens(expression); }));
  Require(Outcome([&] { return orvane::StringStuff::EvalFlat(expression); }) ==
          Outcome([&] { return Literal::EvalFlat(expression); }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto split = bytes.find('\n');
  const orvane::Text expression = orvane::FromUtf8(bytes.substr(0, split));
  // The window's answer box only ever holds "0" or an answer the engine wrote,
  // so longer boxes are no input the frame budget has to hold for.
  const orvane::Text answerBox = split == std::string_view::npos
                                     ? orvane::Text(u"0")
                                     : orvane::FromUtf8(bytes.substr(split + 1)).substr(0, orvane::kLongestNumberText);

  const auto start = std::chrono::steady_clock::now();
  const orvane::CalcOutcome outcome = orvane::Calculate(expression, answerBox);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (ms > kSlowMs) ReportSlow(bytes, ms);
  Require(outcome.answer ? IsNumberText(*outcome.answer) && outcome.reason.empty() : !outcome.reason.empty());

  try {
    Require(IsNumberText(orvane::StringStuff::EvalFlat(expression)));
  } catch (const orvane::RunTimeError&) {
  }
  if (expression.size() <= kCompared) CompareWithLiteral(expression, answerBox);
  if (expression.size() <= kNotReadCompared)
    Require(Literal::NotReadReport{outcome.notRead, outcome.moreNotRead} == Literal::NotRead(expression, answerBox));
  // Only a calculation with an answer passes anything over.
  Require(outcome.answer || (outcome.notRead.empty() && outcome.moreNotRead == 0));
  return 0;
}
