// SPDX-License-Identifier: MIT
// Re-keying on demand: a heap of noted groups by length, climbed outwards
// while the groups are short enough, or bisected by depth in a long chain.
#include "groups/StaleKeys.h"

#include <algorithm>

namespace orvane::StringStuff::groups {

StaleKeys::StaleKeys(const GroupTree& groups, const CurrentText& tree, orvane::detail::KeyIndex& index)
    : groups_(groups), tree_(tree), index_(index), pending_(groups.Count(), kNotPending),
      refreshed_(groups.Count(), 0), bisected_(groups.Count(), 0) {}

// The first keys, from one scan: the inside of each open group joins up on a
// stack, and a closed group joins its parent's inside whole.
void StaleKeys::IndexAll() {
  const orvane::TextView text = groups_.Source();
  std::vector<TextKey> inside;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (groups_.GroupAt(i) != kNone) {
      inside.emplace_back();
      continue;
    }
    TextKey piece = CharPiece(text[i]);
    if (text[i] == u')' && groups_.Match(i) != kNone) {
      Index(groups_.GroupAt(groups_.Match(i)), inside.back());
      piece = Wrapped(inside.back());
      inside.pop_back();
    }
    if (!inside.empty()) inside.back() = Join(inside.back(), piece);
  }
}

// The groups around a changed one are longer, so a lookup for a shorter
// text can leave them all stale. A chain that changes again would soon be
// stale again after a climb, so its count of bisections starts over.
void StaleKeys::MarkDirty(std::size_t from) {
  if (from == kNone) return;
  bisected_[from] = 0;
  Note(from, InnerLength(from));
}

void StaleKeys::Note(std::size_t g, long long length) {
  pending_[g] = static_cast<Length>(length);
  stale_.push({static_cast<Length>(length), static_cast<Pos>(g)});
}

// The groups around a noted one that are at most that long are re-keyed as
// the lookup climbs to them, when they are few; in a longer chain, only the
// one group that has the length is, and the chain stays noted.
void StaleKeys::Refresh(long long length) {
  ++lookup_;
  deferred_.clear();
  while (!stale_.empty() && stale_.top().first <= length) {
    const auto [noted, g] = stale_.top();
    stale_.pop();
    if (pending_[g] != noted) continue;  // noted again since
    pending_[g] = kNotPending;
    if (groups_.IsGone(g) || refreshed_[g] == lookup_) continue;
    // A chain bisected as often as it is deep over kClimbed is climbed once
    // in full, which its later changes then wait for in the same way.
    const std::size_t depth = groups_.Depth(g);
    if (depth >= kClimbed && bisected_[g] * kClimbed < depth &&
        InnerLength(groups_.Around(g, depth - kClimbed)) <= length) {
      ++bisected_[g];
      Bisect(g, length);
      deferred_.push_back(g);
    } else {
      bisected_[g] = 0;
      Climb(g, length);
    }
  }
  for (const std::size_t g : deferred_) Note(g, InnerLength(g));
}

void StaleKeys::Climb(std::size_t g, long long length) {
  TextKey inner = Inside(g);
  while (inner.length <= length) {
    refreshed_[g] = lookup_;
    Index(g, inner);
    const std::size_t up = groups_.Parent(g);
    if (up == kNone || refreshed_[up] == lookup_) return;
    // The enclosing group's text: the characters before this group, the
    // group, the characters after it.
    const std::size_t open = groups_.Start(g), close = groups_.End(g);
    const std::size_t upOpen = groups_.Start(up), upClose = groups_.End(up);
    inner = Wrapped(inner);
    if (upOpen + 1 < open) inner = Join(tree_.Range(upOpen + 1, open), inner);
    if (close + 1 < upClose) inner = Join(inner, tree_.Range(close + 1, upClose));
    g = up;
  }
  Note(g, inner.length);
}

// Re-keys the group around g, or g itself, whose text is length long, if
// there is one: the texts grow strictly outwards. Each level is two
// characters longer than the one inside it at least, which bounds how far
// out the one sought can be; in a bare chain of groups it is right there, so
// the search gallops inwards from the bound.
void StaleKeys::Bisect(std::size_t g, long long length) {
  const long long own = InnerLength(g);
  const std::size_t out = own >= length ? 0 : static_cast<std::size_t>((length - own + 1) / 2);
  std::size_t shallow = groups_.Depth(g) - std::min<std::size_t>(out, groups_.Depth(g));
  std::size_t deep = groups_.Depth(g);  // the one sought is no deeper than deep
  for (std::size_t step = 1; shallow < deep; step *= 2) {
    const std::size_t probe = std::min(shallow + step, deep);
    if (InnerLength(groups_.Around(g, probe)) < length) {
      deep = probe - 1;
      break;
    }
    shallow = probe;
  }
  while (shallow < deep) {
    const std::size_t mid = (shallow + deep + 1) / 2;
    if (InnerLength(groups_.Around(g, mid)) >= length) {
      shallow = mid;
    } else {
      deep = mid - 1;
    }
  }
  const std::size_t found = groups_.Around(g, shallow);
  const TextKey inner = Inside(found);
  if (inner.length == length && refreshed_[found] != lookup_) {
    refreshed_[found] = lookup_;
    Index(found, inner);
  }
}

}  // namespace orvane::StringStuff::groups
