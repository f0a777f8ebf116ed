// SPDX-License-Identifier: MIT
// The notes of what was not read, and the report made of them.
#include "NotRead.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "rewrite/TextOps.h"

namespace orvane::detail {

namespace {

// Where piece first stands in text, or npos: Knuth, Morris and Pratt's
// search, which reads each character of text once whatever the two hold,
// so that a report costs a few passes over the expression at most.
std::size_t FirstPlace(TextView text, TextView piece) {
  // border[i]: the length of the longest proper prefix of piece[0..i] that
  // is also its suffix, where a failed match resumes.
  std::vector<std::size_t> border(piece.size(), 0);
  for (std::size_t i = 1, b = 0; i < piece.size(); ++i) {
    while (b > 0 && piece[i] != piece[b]) b = border[b - 1];
    if (piece[i] == piece[b]) ++b;
    border[i] = b;
  }
  for (std::size_t i = 0, matched = 0; i < text.size(); ++i) {
    // Between matches, on to the next place of the first character at once.
    if (matched == 0 && (i = text.find(piece[0], i)) == TextView::npos) break;
    while (matched > 0 && text[i] != piece[matched]) matched = border[matched - 1];
    if (text[i] == piece[matched]) ++matched;
    if (matched == piece.size()) return i + 1 - piece.size();
  }
  return TextView::npos;
}

}  // namespace

void NotReadLog::Note(TextView rest) {
  while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
  if (rest.empty()) return;
  notes_.append(rest);
  ends_.push_back(notes_.size());
}

std::vector<TextView> NotReadLog::Pieces() const {
  std::vector<TextView> pieces;
  std::size_t from = 0;
  for (const std::size_t end : ends_) {
    pieces.push_back(TextView(notes_).substr(from, end - from));
    from = end;
  }
  return pieces;
}

NotReadReport Report(TextView expression, TextView upper, const std::vector<TextView>& pieces) {
  const std::unordered_set<TextView> set(pieces.begin(), pieces.end());
  std::vector<TextView> distinct(set.begin(), set.end());
  const std::size_t named = std::min(distinct.size(), kNotReadNamed);
  std::partial_sort(distinct.begin(), distinct.begin() + static_cast<std::ptrdiff_t>(named), distinct.end(),
                    [](TextView a, TextView b) { return std::pair(a.size(), a) < std::pair(b.size(), b); });
  std::vector<std::pair<std::size_t, Text>> placed;
  for (std::size_t i = 0; i < named; ++i) {
    const std::size_t at = FirstPlace(upper, distinct[i]);
    placed.emplace_back(at, at == TextView::npos ? Text(distinct[i]) : Text(expression.substr(at, distinct[i].size())));
  }
  std::sort(placed.begin(), placed.end());
  NotReadReport report{{}, distinct.size() - named};
  for (auto& [at, piece] : placed) report.named.push_back(std::move(piece));
  return report;
}

}  // namespace orvane::detail
