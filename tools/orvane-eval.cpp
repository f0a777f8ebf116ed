// SPDX-License-Identifier: MIT
// Command-line harness of the engine: one expression per line on standard
// input; prints the answer box's new text, or "error: " and the reason when
// nothing is written (the answer box then keeps its text).

#include <iostream>
#include <string>

#include "KeepFreedMemory.h"
#include "orvane/Calculate.h"

int main() {
  orvane::KeepFreedMemory();
  std::ios::sync_with_stdio(false);
  orvane::Text answerBox = u"0";  // as the window starts
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const orvane::CalcOutcome outcome = orvane::Calculate(orvane::FromUtf8(line), answerBox);
    if (outcome.answer) {
      answerBox = *outcome.answer;
      std::cout << orvane::ToUtf8(answerBox) << '\n';
    } else {
      std::cout << "error: " << outcome.reason << '\n';
    }
  }
  return 0;
}
