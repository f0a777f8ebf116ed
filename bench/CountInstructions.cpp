// SPDX-License-Identifier: MIT
// The instructions that one Calculate call of each typical expression costs,
// in the engine and in the literal step-by-step evaluation, counted by
// callgrind: run under
//   valgrind --tool=callgrind --callgrind-out-file=ci.%p build/bench/orvane_instructions
// and every call becomes a dump of its own (tools/count-instructions.sh
// prints them as a table). Each expression runs once before it is counted,
// so that what a process sets up once is not counted.

#include <valgrind/callgrind.h>

#include <string>

#include "orvane/Calculate.h"
#include "reference/LiteralEngine.h"

int main() {
  const char16_t* const typical[] = {u"C(2,5)+A(2,5)*W(2,5)", u"P6(1,2,3)", u"(C(2,5)+1)*2", u"2*P5(2,3)+1",
                                     u"5!+15!",               u"1/3*3",     u"2*(3-(1+1))"};
  for (const char16_t* expression : typical) {
    const std::string engine = "engine " + orvane::ToUtf8(expression);
    const std::string literal = "literal " + orvane::ToUtf8(expression);
    orvane::Calculate(expression, u"0");
    Literal::Calculate(expression, u"0");
    CALLGRIND_ZERO_STATS;
    orvane::Calculate(expression, u"0");
    CALLGRIND_DUMP_STATS_AT(engine.c_str());
    Literal::Calculate(expression, u"0");
    CALLGRIND_DUMP_STATS_AT(literal.c_str());
  }
  return 0;
}
