// SPDX-License-Identifier: MIT
#pragma once

// Flat evaluation, the arithmetic of a text without groups: the text is
// rewritten so that only "+" and "*" separate terms and factors, and the
// fields are read one after the other rather than each from the start.

#include <vector>

#include "orvane/NumberText.h"
#include "orvane/Text.h"

namespace orvane::StringStuff::flat {

// While one lives, the flat evaluations on its thread note in it what each
// number they read left over: the rest of the piece after its numeric
// prefix, trailing blanks aside. The previous log comes back when it ends.
class NotReadLog {
 public:
  NotReadLog() : outer_(current_) { current_ = this; }
  ~NotReadLog() { current_ = outer_; }
  NotReadLog(const NotReadLog&) = delete;
  NotReadLog& operator=(const NotReadLog&) = delete;

  // In the order of reading, one entry for each read that left something.
  const std::vector<orvane::Text>& Pieces() const { return pieces_; }

  // The value of a piece read as a number, noting what the number left over.
  static double Read(orvane::TextView piece) {
    const orvane::NumberRead read = orvane::ReadNumberPrefix(piece);
    if (read.end < piece.size() && current_) current_->Note(piece, read.end);
    return read.value;
  }

 private:
  void Note(orvane::TextView piece, std::size_t read);

  // Set up as a constant, so that other files reach it directly, with no
  // call to set it up first (which the undefined-behaviour checks of GCC 12
  // take for a store through a null pointer).
  static constinit inline thread_local NotReadLog* current_ = nullptr;
  NotReadLog* outer_;
  std::vector<orvane::Text> pieces_;
};

// The value of an arithmetic text without parentheses, as a number text.
orvane::Text Evaluate(orvane::TextView text);

}  // namespace orvane::StringStuff::flat
