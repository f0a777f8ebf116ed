// SPDX-License-Identifier: MIT
#pragma once

// The keys of the groups in the index, kept true on demand. Replacing a group
// changes the current text of every group around it; re-keying them at once
// would cost the depth of the nesting per change, so the innermost changed
// group is noted with its length instead, and a lookup re-keys only the
// noted groups that could have the length it asks for.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

#include "groups/CurrentText.h"
#include "groups/GroupTree.h"
#include "rewrite/KeyIndex.h"

namespace orvane::StringStuff::groups {

class StaleKeys {
 public:
  StaleKeys(const GroupTree& groups, const CurrentText& tree, orvane::detail::KeyIndex& index);

  // Files every group under the key of its inside.
  void IndexAll();
  // Files group k under the key of its inside.
  void Index(std::size_t k, TextKey inside) { index_.Set(k, orvane::detail::Filed(inside)); }
  TextKey Inside(std::size_t k) const { return tree_.Range(groups_.Start(k) + 1, groups_.End(k)); }
  long long InnerLength(std::size_t k) const { return tree_.Length(groups_.Start(k) + 1, groups_.End(k)); }

  // A change inside group from makes its key and those around it stale.
  void MarkDirty(std::size_t from);
  // Re-keys the stale groups that can be a copy of a text of this length.
  void Refresh(long long length);

 private:
  void Note(std::size_t g, long long length);
  void Climb(std::size_t g, long long length);
  void Bisect(std::size_t g, long long length);

  // Lengths of current texts fit 32 bits (see CurrentText), and none is this long.
  using Length = std::uint32_t;
  static constexpr Length kNotPending = ~Length{0};
  static constexpr std::size_t kClimbed = 8;

  const GroupTree& groups_;
  const CurrentText& tree_;
  orvane::detail::KeyIndex& index_;
  // Groups whose keys, and those of the groups around them, may be stale, shortest first.
  std::priority_queue<std::pair<Length, Pos>, std::vector<std::pair<Length, Pos>>, std::greater<>> stale_;
  std::vector<Length> pending_;  // per group: the length it was last noted with
  std::vector<Stamp> refreshed_;    // per group: the last lookup that re-keyed it
  std::vector<Pos> bisected_;  // per group: lookups that bisected its chain since it was last climbed
  std::vector<std::size_t> deferred_;
  Stamp lookup_ = 0;
};

}  // namespace orvane::StringStuff::groups
