// SPDX-License-Identifier: MIT
// The groups of the original text, found once: matching parentheses with a
// stack, then each closed group's parent, depth and extent.
#include "groups/GroupTree.h"

#include <algorithm>

#include "orvane/RunTimeError.h"
#include "rewrite/Invariants.h"

namespace orvane::StringStuff::groups {

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

GroupTree::GroupTree(orvane::TextView source) : text(source), match(Partners(source)), group(source.size(), kNone) {
  Nest();
  Measure();
}

// Closed groups with their nearest closed enclosing group, in text order.
void GroupTree::Nest() {
  const std::size_t n = text.size();
  std::vector<std::size_t> stack;
  for (std::size_t i = 0; i < n; ++i) {
    while (!stack.empty() && match[starts[stack.back()]] < i) stack.pop_back();
    if (text[i] != u'(' || match[i] == kNone) continue;
    group[i] = static_cast<Pos>(starts.size());
    parent.push_back(stack.empty() ? kNone : static_cast<Pos>(stack.back()));
    if (stack.size() == byDepth.size()) byDepth.emplace_back();
    byDepth[stack.size()].push_back(static_cast<Pos>(starts.size()));
    depth.push_back(static_cast<Pos>(stack.size()));
    stack.push_back(starts.size());
    starts.push_back(static_cast<Pos>(i));
  }
}

// How deep each group's own nesting goes, as its depth counter would count
// it, and the last group inside it.
void GroupTree::Measure() {
  const std::size_t g = starts.size();
  replaced_.assign(g, false);
  dead_.assign(g, false);
  height.assign(g, 1);
  lastInside.resize(g);
  for (std::size_t k = g; k-- > 0;) {
    lastInside[k] = static_cast<Pos>(std::max<std::size_t>(lastInside[k], k));
    if (parent[k] == kNone) continue;
    height[parent[k]] = static_cast<Pos>(std::max<std::size_t>(height[parent[k]], height[k] + 1u));
    lastInside[parent[k]] = std::max(lastInside[parent[k]], lastInside[k]);
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
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t open = starts[k], close = End(k), up = parent[k];
    Expect(group[open] == k && match[close] == open && text[open] == u'(' && text[close] == u')',
           "GroupTree: a group's parentheses");
    Expect(k <= lastInside[k] && (lastInside[k] + 1u == starts.size() || starts[lastInside[k] + 1u] > close),
           "GroupTree: the groups inside a group");
    if (up == kNone) {
      Expect(depth[k] == 0, "GroupTree: the depth of an outermost group");
      continue;
    }
    Expect(starts[up] < open && close < End(up) && depth[k] == depth[up] + 1 && height[up] > height[k],
           "GroupTree: a group and its parent");
    Expect(!IsGone(up) || dead_[k], "GroupTree: a group in the text inside one that is gone");
  }
}

void GroupTree::CheckDepth(std::size_t from, std::size_t to) const {
  int levels = 0;
  for (std::size_t i = from; i < to; ++i) {
    if (IsReplaced(group[i])) {
      i = match[i];
    } else if (text[i] == u'(') {
      if (++levels > 255) throw orvane::RunTimeError(orvane::ErrorKind::IntegerOverflow);
    } else if (text[i] == u')') {
      --levels;
    }
  }
}

std::size_t GroupTree::Around(std::size_t g, std::size_t atDepth) const {
  const std::vector<Pos>& level = byDepth[atDepth];
  const auto after = std::upper_bound(level.begin(), level.end(), starts[g],
                                      [this](std::size_t at, std::size_t k) { return at < starts[k]; });
  return *(after - 1);
}

}  // namespace orvane::StringStuff::groups
