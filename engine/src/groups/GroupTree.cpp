// SPDX-License-Identifier: MIT
// The groups of the original text, found once: matching parentheses with a
// stack, then each closed group's parent, depth and extent.
#include "groups/GroupTree.h"

#include <algorithm>

#include "orvane/RunTimeError.h"
#include "rewrite/Invariants.h"

namespace orvane::StringStuff::groups {

namespace {

// Per "(" its ")", per ")" its "(", or kNone, as a stack matches them.
std::vector<Pos> Partners(orvane::TextView text) {
  std::vector<Pos> match(text.size(), kNone);
  std::vector<std::size_t> stack;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'(') {
      stack.push_back(i);
    } else if (text[i] == u')' && !stack.empty()) {
      match[stack.back()] = static_cast<Pos>(i);
      match[i] = static_cast<Pos>(stack.back());
      stack.pop_back();
    }
  }
  return match;
}

}  // namespace

GroupTree::GroupTree(orvane::TextView source)
    : text_(source), match_(Partners(source)), group_(source.size(), kNone) {
  Nest();
  Measure();
}

// Closed groups with their nearest closed enclosing group, in text order.
void GroupTree::Nest() {
  const std::size_t n = text_.size();
  std::vector<std::size_t> stack;
  for (std::size_t i = 0; i < n; ++i) {
    while (!stack.empty() && match_[starts_[stack.back()]] < i) stack.pop_back();
    if (text_[i] != u'(' || match_[i] == kNone) continue;
    group_[i] = static_cast<Pos>(starts_.size());
    parent_.push_back(stack.empty() ? kNone : static_cast<Pos>(stack.back()));
    if (stack.size() == byDepth_.size()) byDepth_.emplace_back();
    byDepth_[stack.size()].push_back(static_cast<Pos>(starts_.size()));
    depth_.push_back(static_cast<Pos>(stack.size()));
    stack.push_back(starts_.size());
    starts_.push_back(static_cast<Pos>(i));
  }
}

// How deep each group's own nesting goes, as its depth counter would count
// it, and the last group inside it.
void GroupTree::Measure() {
  const std::size_t g = starts_.size();
  replaced_.assign(g, false);
  dead_.assign(g, false);
  height_.assign(g, 1);
  lastInside_.resize(g);
  for (std::size_t k = g; k-- > 0;) {
    lastInside_[k] = static_cast<Pos>(std::max<std::size_t>(lastInside_[k], k));
    if (parent_[k] == kNone) continue;
    height_[parent_[k]] = static_cast<Pos>(std::max<std::size_t>(height_[parent_[k]], height_[k] + 1u));
    lastInside_[parent_[k]] = std::max(lastInside_[parent_[k]], lastInside_[k]);
  }
}

void GroupTree::MarkReplaced(std::size_t k) {
  if constexpr (orvane::detail::kCheckInvariants)
    orvane::detail::Expect(!IsGone(k), "GroupTree: a group replaced once gone");
  replaced_[k] = true;
}

void GroupTree::CheckInvariants() const {
  using orvane::detail::Expect;
  if constexpr (!orvane::detail::kCheckInvariants) return;
  for (std::size_t k = 0; k < starts_.size(); ++k) {
    const std::size_t open = starts_[k], close = End(k), up = parent_[k];
    Expect(group_[open] == k && match_[close] == open && text_[open] == u'(' && text_[close] == u')',
           "GroupTree: a group's parentheses");
    Expect(k <= lastInside_[k] && (lastInside_[k] + 1u == starts_.size() || starts_[lastInside_[k] + 1u] > close),
           "GroupTree: the groups inside a group");
    if (up == kNone) {
      Expect(depth_[k] == 0, "GroupTree: the depth of an outermost group");
      continue;
    }
    Expect(starts_[up] < open && close < End(up) && depth_[k] == depth_[up] + 1 && height_[up] > height_[k],
           "GroupTree: a group and its parent");
    Expect(!IsGone(up) || dead_[k], "GroupTree: a group in the text inside one that is gone");
  }
}

void GroupTree::CheckDepth(std::size_t from, std::size_t to) const {
  int levels = 0;
  for (std::size_t i = from; i < to; ++i) {
    if (IsReplaced(group_[i])) {
      i = match_[i];
    } else if (text_[i] == u'(') {
      if (++levels > 255) throw orvane::RunTimeError(orvane::ErrorKind::IntegerOverflow);
    } else if (text_[i] == u')') {
      --levels;
    }
  }
}

std::size_t GroupTree::Around(std::size_t g, std::size_t atDepth) const {
  const std::vector<Pos>& level = byDepth_[atDepth];
  const auto after = std::upper_bound(level.begin(), level.end(), starts_[g],
                                      [this](std::size_t at, std::size_t k) { return at < starts_[k]; });
  return *(after - 1);
}

}  // namespace orvane::StringStuff::groups
