// SPDX-License-Identifier: MIT
#pragma once

// Small text operations shared by the engine's modules, with 1-based
// positions as the algorithms use them.

#include "orvane/Int16.h"
#include "orvane/Text.h"

namespace orvane::detail {

inline bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
// The blanks that a number's text may hold between its characters.
inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

// Texts of 32767 characters or more overflow the 16-bit position counter.
inline void CheckLength(long long length) {
  if (length >= kInt16Max) throw RunTimeError(ErrorKind::IntegerOverflow);
}
inline void CheckLength(TextView text) { CheckLength(static_cast<long long>(text.size())); }

// How often c occurs, counted in 16 bits as a text's characters are.
inline Int16 Occurrences(TextView text, char16_t c) {
  CheckLength(text);
  Int16 count = 0;
  for (const char16_t x : text)
    if (x == c) count = Add16(count, 1);
  return count;
}

// 1-based position of the first occurrence of what at or after start, or 0
// (also when start lies beyond the end). Positions beyond 32767 overflow.
inline Int16 Find(TextView text, TextView what, long long start) {
  if (start < 1 || static_cast<std::size_t>(start) > text.size()) return 0;
  const auto pos = text.find(what, static_cast<std::size_t>(start - 1));
  return pos == TextView::npos ? Int16{0} : ToInt16(static_cast<long long>(pos) + 1);
}

inline bool Contains(TextView text, char16_t c) { return text.find(c) != TextView::npos; }

// length characters from position start; a negative length is refused.
inline TextView MidView(TextView text, long long start, long long length) {
  if (start < 1 || length < 0) throw RunTimeError(ErrorKind::InvalidArgument);
  if (static_cast<std::size_t>(start) > text.size()) return {};
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}
inline Text Mid(TextView text, long long start, long long length) { return Text(MidView(text, start, length)); }

// Every non-overlapping occurrence of what, from left to right.
inline Text ReplaceAll(TextView text, TextView what, TextView with) {
  if (what.empty()) return Text(text);
  Text out;
  std::size_t from = 0;
  for (auto pos = text.find(what); pos != TextView::npos; pos = text.find(what, from)) {
    out.append(text.substr(from, pos - from)).append(with);
    from = pos + what.size();
  }
  out.append(text.substr(from));
  return out;
}

}  // namespace orvane::detail
