// SPDX-License-Identifier: MIT
#pragma once

// The current text of a text whose groups are being replaced, kept as a tree
// of hashes over the positions of the original text.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "rewrite/PolyHash.h"
#include "orvane/Text.h"

namespace StringStuff::groups {

using orvane::TextView;

// The term passes' hashes, kept with their length, so that pieces join in
// any order. The power of the base that shifts a text past a piece comes
// from its length.
using orvane::detail::PolyHash;
using orvane::detail::Join;
using orvane::detail::TextKey;

inline TextKey CharPiece(char16_t c) { return {1, static_cast<std::uint64_t>(c) + 1}; }

inline TextKey PieceOf(TextView text) {
  TextKey p;
  for (const char16_t c : text) p = Join(p, CharPiece(c));
  return p;
}
// "(" + inner + ")".
inline TextKey Wrapped(const TextKey& inner) {
  constexpr std::uint64_t kOpen = u'(' + 1;
  std::uint64_t h = PolyHash::Add(PolyHash::Mul(kOpen, PolyHash::Pow(static_cast<std::size_t>(inner.length))), inner.hash);
  h = PolyHash::Step(h, u')');
  return {inner.length + 2, h};
}

// The current text over the positions of the original one: each position
// holds its character, the value that replaced the group opening there, or
// nothing. Hashes and lengths are kept apart, so that the many questions of
// length alone read a quarter of what the hashes take.
class PieceTree {
 public:
  explicit PieceTree(TextView text) {
    while (size_ < text.size()) size_ *= 2;
    hashes_.assign(2 * size_, 0);
    lengths_.assign(2 * size_, 0);
    for (std::size_t i = 0; i < text.size(); ++i) Put(size_ + i, CharPiece(text[i]));
    for (std::size_t i = size_ - 1; i > 0; --i) Update(i);
  }
  void Set(std::size_t at, const TextKey& piece) {
    at += size_;
    Put(at, piece);
    for (at /= 2; at > 0; at /= 2) Update(at);
  }
  // The positions from first up to, not including, last.
  TextKey Range(std::size_t first, std::size_t last) const {
    TextKey left, right;
    for (first += size_, last += size_; first < last; first /= 2, last /= 2) {
      if (first & 1) left = Join(left, Node(first++));
      if (last & 1) right = Join(Node(--last), right);
    }
    return Join(left, right);
  }
  // The length alone of the same, which needs no hashing.
  long long Length(std::size_t first, std::size_t last) const {
    long long length = 0;
    for (first += size_, last += size_; first < last; first /= 2, last /= 2) {
      if (first & 1) length += lengths_[first++];
      if (last & 1) length += lengths_[--last];
    }
    return length;
  }
  // Puts piece at first and empties the positions after it up to, not
  // including, last, in time proportional to their number. Above the
  // positions, only the two nodes at the ends of each level can hold
  // anything left.
  void Fill(std::size_t first, std::size_t last, const TextKey& piece) {
    if (first >= last) return;
    std::size_t l = first + size_, r = last - 1 + size_;
    Empty(l, r + 1);
    Put(l, piece);
    while (l > 1) {
      l /= 2;
      r /= 2;
      if (r > l + 1) Empty(l + 1, r);
      Update(l);
      if (r != l) Update(r);
    }
  }
  long long Length() const { return lengths_[1]; }

 private:
  TextKey Node(std::size_t i) const { return {lengths_[i], hashes_[i]}; }
  void Put(std::size_t i, const TextKey& piece) {
    hashes_[i] = piece.hash;
    lengths_[i] = static_cast<std::uint32_t>(piece.length);
  }
  void Update(std::size_t i) { Put(i, Join(Node(2 * i), Node(2 * i + 1))); }
  void Empty(std::size_t first, std::size_t last) {
    const auto from = static_cast<std::ptrdiff_t>(first), to = static_cast<std::ptrdiff_t>(last);
    std::fill(hashes_.begin() + from, hashes_.begin() + to, 0);
    std::fill(lengths_.begin() + from, lengths_.begin() + to, 0);
  }

  std::size_t size_ = 1;
  std::vector<std::uint64_t> hashes_;
  // A current text stays far below 2^32 characters: each pass starts under
  // 32767 and at most multiplies that by the length of one value.
  std::vector<std::uint32_t> lengths_;
};

}  // namespace StringStuff::groups
