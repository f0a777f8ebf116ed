// SPDX-License-Identifier: MIT
#pragma once

// The groups of a text as it was given, which the group passes never move:
// each "(" with its ")", how they nest, and what the passes have done to each
// group so far. Positions are those of the original text. The shape is fixed
// once built; what the passes did is changed through the tree alone.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "orvane/Text.h"

namespace orvane::StringStuff::groups {

// The passes take texts of fewer than 32767 characters, so positions and
// groups fit 16 bits, which keeps what the passes hold beside the text small.
using Pos = std::uint16_t;
inline constexpr Pos kNone = static_cast<Pos>(~Pos{0});
// Stamps count passes and lookups, which are fewer than the groups.
using Stamp = Pos;

// Per "(" its ")", per ")" its "(", or kNone, as a stack matches them.
std::vector<Pos> Partners(orvane::TextView text);

struct GroupTree {
  explicit GroupTree(orvane::TextView text);

  bool IsReplaced(std::size_t g) const { return g != kNone && replaced_[g]; }
  // Replaced, or inside a group replaced: no longer in the current text.
  bool IsGone(std::size_t g) const { return replaced_[g] || dead_[g]; }
  // Group k takes its value: it must still be in the text.
  void MarkReplaced(std::size_t k);
  // A group inside one that was replaced goes with it.
  void MarkInsideReplaced(std::size_t g) { dead_[g] = true; }
  // The shape is what a stack match of the text gives, and a group is gone
  // for good once replaced or inside one that was.
  void CheckInvariants() const;
  // The ")" of group k.
  std::size_t End(std::size_t k) const { return match[starts[k]]; }
  // The depth counter of the group scan over the current text from open on.
  void CheckDepth(std::size_t from, std::size_t to) const;
  // The group at that depth around group g.
  std::size_t Around(std::size_t g, std::size_t atDepth) const;

  orvane::TextView text;
  std::vector<Pos> match;      // per "(" its ")", per ")" its "(", or kNone
  std::vector<Pos> group;      // per "(": its closed group, or kNone
  std::vector<Pos> starts;     // per group: its "("
  std::vector<Pos> parent;
  std::vector<Pos> height;  // per group: its levels of nesting, itself included
  std::vector<Pos> lastInside;  // per group: the last group inside it, or itself
  std::vector<Pos> depth;   // per group: how many groups enclose it
  std::vector<std::vector<Pos>> byDepth;  // the groups of each depth, in text order

 private:
  std::vector<bool> replaced_, dead_;  // per group
  void Nest();
  void Measure();
};

}  // namespace orvane::StringStuff::groups
