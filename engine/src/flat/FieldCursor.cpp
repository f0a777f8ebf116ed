// SPDX-License-Identifier: MIT
// The field cursor: each search starts where the last one ended, with the
// positions, limits and errors of taking the field by its index.
#include "flat/FieldCursor.h"

#include "rewrite/TextOps.h"

namespace orvane::StringStuff {

using namespace orvane::detail;

FieldCursor::FieldCursor(TextView text, TextView delimiter) : delimiter_(delimiter) {
  // The working text always begins and ends with the delimiter, so a leading
  // or trailing delimiter of the text bounds the outer field.
  w_.reserve(text.size() + 2 * delimiter.size());
  if (text.substr(0, delimiter.size()) != delimiter) w_ += delimiter;
  w_ += text;
  if (text.size() < delimiter.size() || text.substr(text.size() - delimiter.size()) != delimiter) w_ += delimiter;
  end_ = Find(w_, delimiter_, start_);
}

FieldCursor::FieldCursor(TextView text, TextView delimiter, const std::vector<std::size_t>& ignored)
    : FieldCursor(text, delimiter) {
  if (ignored.empty()) return;
  const std::size_t shift = text.substr(0, delimiter.size()) != delimiter ? delimiter.size() : 0;
  ignored_.reserve(ignored.size());
  for (const std::size_t at : ignored) ignored_.push_back(at + shift);
  end_ = FindDelimiter(start_);
}

// The searches skip the ignored delimiters; the cursor only moves forwards.
Int16 FieldCursor::FindDelimiter(Int16 start) {
  Int16 found = Find(w_, delimiter_, start);
  while (nextIgnored_ < ignored_.size() && found != 0) {
    const std::size_t at = static_cast<std::size_t>(found) - 1;
    while (nextIgnored_ < ignored_.size() && ignored_[nextIgnored_] < at) ++nextIgnored_;
    if (nextIgnored_ == ignored_.size() || ignored_[nextIgnored_] != at) break;
    found = Find(w_, delimiter_, static_cast<long long>(found) + 1);
  }
  return found;
}

TextView FieldCursor::Field() const {
  Int16 start = start_;
  Int16 end = end_;
  if (end == 0) {  // no further delimiter: everything after the first one
    end = start;
    start = Add16(static_cast<Int16>(delimiter_.size()), 1);
  }
  return detail::MidView(w_, start, Sub16(end, start));
}

void FieldCursor::Advance() {
  // Taking field 32767 forms index + 1 first.
  if (index_ == kInt16Max - 1) throw RunTimeError(ErrorKind::IntegerOverflow);
  ++index_;
  start_ = Add16(end_, static_cast<Int16>(delimiter_.size()));
  end_ = FindDelimiter(start_);
}

TextView FieldCursor::Next() {
  Advance();
  return Field();
}

Text FieldCursor::Negative() const { return Mid(w_, 1, -1); }

}  // namespace orvane::StringStuff
