// SPDX-License-Identifier: MIT
#pragma once

// The current text of a text whose groups are being replaced, over the
// positions of the original one: a replaced group's "(" holds its value and
// the rest of the group nothing, and a changed backslash holds what took its
// place. A tree of hashes over the same positions gives the key of any range.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "groups/GroupTree.h"
#include "orvane/Text.h"
#include "rewrite/PieceTree.h"

namespace StringStuff::groups {

class CurrentText {
 public:
  explicit CurrentText(const GroupTree& groups);

  // The current text of the positions first to last.
  orvane::Text Read(std::size_t first, std::size_t last) const;
  // What stands at position i instead of its character.
  const orvane::Text& Over(std::size_t i) const { return texts_[over_[i]]; }
  // Puts text at a replaced group's "(" (the tree is the caller's to set).
  void SetOver(std::size_t i, const orvane::Text& text);
  // Puts text at a backslash's position, in the tree too.
  void Override(std::size_t i, const orvane::Text& text);

  // Of a piece of the current text of one character or more, at position i:
  bool IsBackslash(std::size_t i) const;
  bool IsEmpty(std::size_t i) const;
  // The position of the piece before i (a replaced group counts at its "("), or kNone.
  std::size_t Before(std::size_t i) const;
  // The position of the piece after the one at i, or kNone.
  std::size_t After(std::size_t i) const;

  // The run of backslashes through the group whose "(" is at open: the
  // placeholders of the groups that the current pass takes there and the lone
  // backslashes next to them, as their positions.
  std::vector<std::size_t> RunThrough(std::size_t open) const;

  PieceTree tree;

 private:
  bool Changed(std::size_t i) const { return groups_.IsReplaced(groups_.group[i]) || overridden_[i]; }

  const GroupTree& groups_;
  // An index into texts_, which holds each value once for all its copies.
  std::vector<std::uint32_t> over_;
  std::vector<orvane::Text> texts_;
  std::vector<bool> overridden_;
};

}  // namespace StringStuff::groups
