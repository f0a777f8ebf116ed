// SPDX-License-Identifier: MIT
#pragma once

// The groups of a text as it was given, which the group passes never move:
// each "(" with its ")", how they nest, and what the passes have done to each
// group so far. Positions are those of the original text. The shape is fixed
// once built and only read; what the passes did is changed through the tree
// alone, which keeps a group inside one gone gone with it.

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

class GroupTree {
 public:
  explicit GroupTree(orvane::TextView text);

  orvane::TextView Source() const { return text_; }
  std::size_t Count() const { return starts_.size(); }
  // Per "(" its ")", per ")" its "(", or kNone, as a stack matches them.
  std::size_t Match(std::size_t i) const { return match_[i]; }
  // Per "(": its closed group, or kNone.
  std::size_t GroupAt(std::size_t i) const { return group_[i]; }
  // Per group: its "(" and ")", the group around it (or kNone), how many
  // groups enclose it, its levels of nesting (itself included), and the last
  // group inside it (or itself).
  std::size_t Start(std::size_t k) const { return starts_[k]; }
  std::size_t End(std::size_t k) const { return match_[starts_[k]]; }
  std::size_t Parent(std::size_t k) const { return parent_[k]; }
  std::size_t Depth(std::size_t k) const { return depth_[k]; }
  std::size_t Height(std::size_t k) const { return height_[k]; }
  std::size_t LastInside(std::size_t k) const { return lastInside_[k]; }
  // The group at that depth around group g.
  std::size_t Around(std::size_t g, std::size_t atDepth) const;

  bool IsReplaced(std::size_t g) const { return g != kNone && replaced_[g]; }
  // Replaced, or inside a group replaced: no longer in the current text.
  bool IsGone(std::size_t g) const { return replaced_[g] || dead_[g]; }
  // Group k takes its value, and the groups inside it go; clear(i) learns of
  // each position after its "(" that goes, those of groups replaced before
  // (whose insides went then) aside.
  template <typename Clear>
  void Replace(std::size_t k, Clear clear) {
    MarkReplaced(k);
    for (std::size_t i = Start(k) + 1, close = End(k); i <= close; ++i) {
      clear(i);
      const std::size_t inner = group_[i];
      if (inner == kNone) continue;
      dead_[inner] = true;
      if (replaced_[inner]) i = match_[i];
    }
  }

  // The depth counter of the group scan over the current text from open on.
  void CheckDepth(std::size_t from, std::size_t to) const;
  // The shape is what a stack match of the text gives, and a group is gone
  // for good once replaced or inside one that was.
  void CheckInvariants() const;

 private:
  void MarkReplaced(std::size_t k);
  void Nest();
  void Measure();

  orvane::TextView text_;
  std::vector<Pos> match_;   // per position
  std::vector<Pos> group_;   // per position
  std::vector<Pos> starts_;  // per group, and the five below
  std::vector<Pos> parent_;
  std::vector<Pos> height_;
  std::vector<Pos> lastInside_;
  std::vector<Pos> depth_;
  std::vector<std::vector<Pos>> byDepth_;  // the groups of each depth, in text order
  std::vector<bool> replaced_, dead_;
};

}  // namespace orvane::StringStuff::groups
