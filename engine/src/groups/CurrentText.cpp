// SPDX-License-Identifier: MIT
// Reading the current text, and walking its pieces, over the original
// positions that the group passes keep.
#include "groups/CurrentText.h"

namespace StringStuff::groups {

using orvane::Text;

CurrentText::CurrentText(const GroupTree& groups)
    : tree(groups.text), groups_(groups), over_(groups.text.size(), 0), texts_(1),
      overridden_(groups.text.size(), false) {}

Text CurrentText::Read(std::size_t first, std::size_t last) const {
  Text out;
  for (std::size_t i = first; i < last; ++i) {
    if (groups_.IsReplaced(groups_.group[i])) {
      out += Over(i);
      i = groups_.close[i];
    } else if (overridden_[i]) {
      out += Over(i);
    } else {
      out += groups_.text[i];
    }
  }
  return out;
}

void CurrentText::SetOver(std::size_t i, const Text& text) {
  if (texts_.back() != text) texts_.push_back(text);
  over_[i] = static_cast<std::uint32_t>(texts_.size() - 1);
}

void CurrentText::Override(std::size_t i, const Text& text) {
  overridden_[i] = true;
  SetOver(i, text);
  tree.Set(i, PieceOf(text));
}

bool CurrentText::IsBackslash(std::size_t i) const {
  return Changed(i) ? Over(i) == u"\\" : groups_.text[i] == u'\\';
}

bool CurrentText::IsEmpty(std::size_t i) const { return Changed(i) && Over(i).empty(); }

std::size_t CurrentText::Before(std::size_t i) const {
  while (i > 0) {
    --i;
    if (groups_.text[i] == u')' && groups_.open[i] != kNone && groups_.replaced[groups_.group[groups_.open[i]]])
      i = groups_.open[i];
    if (!IsEmpty(i)) return i;
  }
  return kNone;
}

std::size_t CurrentText::After(std::size_t i) const {
  const std::size_t k = groups_.group[i];
  if (k != kNone && (groups_.replaced[k] || groups_.InPass(k))) i = groups_.close[i];
  for (++i; i < groups_.text.size(); ++i) {
    const std::size_t g = groups_.group[i];
    if (groups_.IsReplaced(g)) {
      if (!Over(i).empty()) return i;
      i = groups_.close[i];
    } else if (!IsEmpty(i)) {
      return i;
    }
  }
  return kNone;
}

std::vector<std::size_t> CurrentText::RunThrough(std::size_t open) const {
  std::vector<std::size_t> run;
  if (const std::size_t b = Before(open); b != kNone && IsBackslash(b)) run.push_back(b);
  for (std::size_t at = open;;) {
    run.push_back(at);
    std::size_t next = After(at);
    if (next != kNone && IsBackslash(next) && !groups_.IsPassGroup(next)) {
      run.push_back(next);
      next = After(next);
    }
    if (next == kNone || !groups_.IsPassGroup(next) || groups_.replaced[groups_.group[next]]) break;
    at = next;
  }
  return run;
}

}  // namespace StringStuff::groups
