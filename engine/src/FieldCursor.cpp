// SPDX-License-Identifier: MIT
#include "FieldCursor.h"

#include "TextOps.h"

namespace StringStuff {

using namespace orvane;
using detail::Find;
using detail::Mid;

FieldCursor::FieldCursor(TextView text, TextView delimiter) : w_(text), delimiter_(delimiter) {
  // The working text always begins and ends with the delimiter, so a leading
  // or trailing delimiter of the text bounds the outer field.
  if (text.substr(0, delimiter.size()) != delimiter) w_.insert(0, delimiter);
  if (text.size() < delimiter.size() || text.substr(text.size() - delimiter.size()) != delimiter) w_ += delimiter;
  end_ = Find(w_, delimiter_, start_);
}

Text FieldCursor::Field() const {
  Int16 start = start_;
  Int16 end = end_;
  if (end == 0) {  // no further delimiter: everything after the first one
    end = start;
    start = Add16(static_cast<Int16>(delimiter_.size()), 1);
  }
  return Mid(w_, start, Sub16(end, start));
}

void FieldCursor::Advance() {
  // Taking field 32767 forms index + 1 first.
  if (index_ == kInt16Max - 1) throw RunTimeError(ErrorKind::IntegerOverflow);
  ++index_;
  start_ = Add16(end_, static_cast<Int16>(delimiter_.size()));
  end_ = Find(w_, delimiter_, start_);
}

Text FieldCursor::Next() {
  Advance();
  return Field();
}

Text FieldCursor::Negative() const { return Mid(w_, 1, -1); }

}  // namespace StringStuff
