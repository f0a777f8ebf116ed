// SPDX-License-Identifier: MIT
#pragma once

// What the readers of numbers pass over. A number is read by its longest
// numeric prefix and the rest of its piece is ignored, so "2^3" answers 2;
// the answer stands, and the user is told what was not read. Every reader
// of a number (the flat evaluator's factors, a term's arguments) goes
// through NotReadLog, which notes each rest while a log lives; Calculate
// turns the notes into the report.

#include <cstddef>
#include <vector>

#include "orvane/Int16.h"
#include "orvane/NumberText.h"
#include "orvane/Text.h"

namespace orvane::detail {

// While one lives, the readers on its thread note in it what each number
// they read left over: the rest of the piece after its numeric prefix,
// trailing blanks aside. The previous log comes back when it ends.
class NotReadLog {
 public:
  NotReadLog() : outer_(current_) { current_ = this; }
  ~NotReadLog() { current_ = outer_; }
  NotReadLog(const NotReadLog&) = delete;
  NotReadLog& operator=(const NotReadLog&) = delete;

  // The value of a piece read as a number, noting what the number left
  // over. A term's own "(" or ")" that may end an argument (mark) belongs
  // to the term, and is not noted.
  static double Read(TextView piece, TextView mark = {}) {
    const NumberRead read = ReadNumberPrefix(piece);
    if (read.end < piece.size() && current_) {
      const TextView rest = piece.substr(read.end);
      current_->Note(rest.ends_with(mark) ? rest.substr(0, rest.size() - mark.size()) : rest);
    }
    return read.value;
  }

  // A term's argument read as a count.
  static Int16 ReadCount(TextView piece, TextView mark = {}) { return ToCount(Read(piece, mark)); }

  // Text that no reader reads at all, such as a term's third argument.
  static void NoteUnread(TextView rest) {
    if (current_) current_->Note(rest);
  }

  // In the order of noting, one view for each note, valid while the log lives.
  std::vector<TextView> Pieces() const;

 private:
  void Note(TextView rest);

  // Set up as a constant, so that other files reach it directly, with no
  // call to set it up first (which the undefined-behaviour checks of GCC 12
  // take for a store through a null pointer).
  static constinit inline thread_local NotReadLog* current_ = nullptr;
  NotReadLog* outer_;
  // The notes one after the other, and where each ends: one buffer, so
  // that a text of thousands of stray pieces costs no allocation each.
  Text notes_;
  std::vector<std::size_t> ends_;
};

// The report of a calculation whose readers noted pieces: the first few
// distinct pieces, the rest counted.
struct NotReadReport {
  std::vector<Text> named;
  std::size_t others = 0;
};

// How many pieces a report names.
inline constexpr std::size_t kNotReadNamed = 5;

// The distinct pieces are taken shortest first (then by their characters),
// whatever the order the passes read them in, and the first kNotReadNamed
// are named; each is spelled as at its first place in the upper-cased
// expression, with the expression's own letters there, and they come in the
// order of those places. A piece that the passes made, such as the rest of
// a term's value, is not found there: it stays as it is and goes last.
NotReadReport Report(TextView expression, TextView upper, const std::vector<TextView>& pieces);

}  // namespace orvane::detail
