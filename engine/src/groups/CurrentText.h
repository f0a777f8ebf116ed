// SPDX-License-Identifier: MIT
#pragma once

// The current text of a text whose groups are being replaced, over the
// positions of the original one: a replaced group's "(" holds its value and
// the rest of the group nothing. A tree of hashes over blocks of positions gives the key of any range.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "groups/GroupTree.h"
#include "orvane/Text.h"
#include "rewrite/PolyHash.h"

namespace orvane::StringStuff::groups {

using orvane::detail::Join;
using orvane::detail::PolyHash;
using orvane::detail::TextKey;

inline TextKey CharPiece(char16_t c) { return {1, static_cast<std::uint64_t>(c) + 1}; }

// "(" + inner + ")".
inline TextKey Wrapped(TextKey inner) {
  return Join(Join(CharPiece(u'('), inner), CharPiece(u')'));
}

class CurrentText {
 public:
  explicit CurrentText(const GroupTree& groups);

  // The current text of the positions first to last.
  orvane::Text Read(std::size_t first, std::size_t last) const;
  // The key and the length alone of the same.
  TextKey Range(std::size_t first, std::size_t last) const;
  long long Length(std::size_t first, std::size_t last) const;
  long long Length() const { return lengths_[1]; }

  // Puts text at position i, in place of what stood there.
  void Put(std::size_t i, orvane::TextView text);
  // Empties position i.
  void Clear(std::size_t i) { Set(i, kEmpty); }

  // Every node's length is its children's, or its positions', and a hash
  // marked fresh is what its children's join to.
  void CheckInvariants() const;

 private:
  // What a position holds: its own character, nothing, or a piece of pieces_.
  // Each piece is put at a group's "(", and no position gets two, so they
  // fit 16 bits as positions do.
  using State = std::uint16_t;
  static constexpr State kOwn = 0, kEmpty = 1;
  // Positions per leaf of the tree: a leaf's key is joined from them when
  // asked, so that the tree takes an eighth of a tree over the positions.
  static constexpr std::size_t kBlock = 8;

  orvane::TextView Piece(State p) const {
    return orvane::TextView(pieces_).substr(starts_[p], starts_[p + 1] - starts_[p]);
  }
  TextKey KeyAt(std::size_t i) const;
  long long LengthAt(std::size_t i) const;
  // What join makes of the positions first to last (at most to the end):
  // those of the blocks at both ends one by one, and the tree's nodes between.
  template <typename Value, typename JoinF, typename AtF, typename NodeF>
  Value Gather(std::size_t first, std::size_t last, JoinF join, AtF at, NodeF node) const {
    last = std::min(last, state_.size());
    Value left{}, right{};
    const std::size_t firstBlock = first / kBlock, lastBlock = last / kBlock;
    if (first >= last || firstBlock == lastBlock) {
      for (; first < last; ++first) left = join(left, at(first));
      return left;
    }
    for (std::size_t i = first; i < (firstBlock + 1) * kBlock; ++i) left = join(left, at(i));
    for (std::size_t i = lastBlock * kBlock; i < last; ++i) right = join(right, at(i));
    for (std::size_t l = firstBlock + 1 + leaves_, r = lastBlock + leaves_; l < r; l /= 2, r /= 2) {
      if (l & 1) left = join(left, node(l++));
      if (r & 1) right = join(node(--r), right);
    }
    return join(left, right);
  }
  void Set(std::size_t i, State state);
  TextKey Node(std::size_t node) const;

  const GroupTree& groups_;
  std::vector<State> state_;  // per position: kOwn, kEmpty or a piece
  // Each value once for all its copies, one after the other, with their hashes.
  orvane::Text pieces_;
  std::vector<std::uint32_t> starts_;  // per piece, and the end of the last
  std::vector<std::uint64_t> pieceHashes_;
  std::size_t leaves_ = 1;  // leaves of the tree, a power of two
  // Per node: the length of its blocks, kept at once, and their hash, joined
  // again only when a key is asked for, so that the many changes between two
  // questions of keys (a chain replaced level by level) cost a length each.
  // A node is stale when a change below it came after its hash, and then so
  // are the nodes above it. A current text stays far below 2^32 characters:
  // each pass starts under 32767 and at most multiplies that by one value.
  std::vector<std::uint32_t> lengths_;
  mutable std::vector<std::uint64_t> hashes_;
  mutable std::vector<bool> stale_;
};

}  // namespace orvane::StringStuff::groups
