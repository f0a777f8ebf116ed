// SPDX-License-Identifier: MIT
#pragma once

// The current text of a text whose groups are being replaced, kept as a tree
// of hashes over the positions of the original text.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "PolyHash.h"
#include "orvane/Text.h"

namespace StringStuff::groups {

using orvane::TextView;

// Polynomial hashes modulo 2^61 - 1 (the term passes' arithmetic), kept with
// their length, so that pieces join in any order. The power of the base that
// shifts a text past a piece comes from its length.
constexpr std::uint64_t kMod = orvane::detail::PolyHash::kMod;
inline const std::uint64_t kBase = orvane::detail::PolyHash::DrawBase();

inline std::uint64_t MulMod(std::uint64_t a, std::uint64_t b) { return orvane::detail::PolyHash::Mul(a, b); }

// kBase to any length, as the product of two small tables' entries: the
// tables stay in the first-level cache, where a table of every length would
// not, and a piece needs no power of its own.
class Powers {
 public:
  Powers() {
    low_[0] = high_[0] = 1;
    for (std::size_t i = 1; i < kSpan; ++i) low_[i] = MulMod(low_[i - 1], kBase);
    const std::uint64_t step = MulMod(low_[kSpan - 1], kBase);
    for (std::size_t i = 1; i < kSpan; ++i) high_[i] = MulMod(high_[i - 1], step);
  }
  std::uint64_t Of(std::uint64_t length) const {
    if (length < kSpan) return low_[length];
    const std::uint64_t high = length >> kBits;
    return MulMod(low_[length & (kSpan - 1)], high < kSpan ? high_[high] : Beyond(high));
  }

 private:
  static constexpr unsigned kBits = 11;
  static constexpr std::size_t kSpan = std::size_t{1} << kBits;
  // Lengths of 2^22 and more: no current text comes near them, but the
  // power stays exact.
  std::uint64_t Beyond(std::uint64_t high) const {
    std::uint64_t r = 1, b = high_[1];
    for (; high; high >>= 1, b = MulMod(b, b))
      if (high & 1) r = MulMod(r, b);
    return r;
  }
  std::uint64_t low_[kSpan];
  std::uint64_t high_[kSpan];  // kBase to multiples of kSpan
};
inline const Powers kPowers;

struct Piece {
  std::uint64_t hash = 0;
  long long length = 0;
};

inline Piece Join(const Piece& a, const Piece& b) {
  if (b.length == 0) return a;
  if (a.length == 0) return b;
  std::uint64_t h = MulMod(a.hash, kPowers.Of(static_cast<std::uint64_t>(b.length))) + b.hash;
  if (h >= kMod) h -= kMod;
  return {h, a.length + b.length};
}

inline Piece CharPiece(char16_t c) { return {static_cast<std::uint64_t>(c) + 1, 1}; }

inline Piece PieceOf(TextView text) {
  Piece p;
  for (const char16_t c : text) p = Join(p, CharPiece(c));
  return p;
}
// "(" + inner + ")".
inline Piece Wrapped(const Piece& inner) {
  constexpr std::uint64_t kOpen = u'(' + 1, kClose = u')' + 1;
  std::uint64_t h = MulMod(kOpen, kPowers.Of(static_cast<std::uint64_t>(inner.length))) + inner.hash;
  if (h >= kMod) h -= kMod;
  h = MulMod(h, kBase) + kClose;
  if (h >= kMod) h -= kMod;
  return {h, inner.length + 2};
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
  void Set(std::size_t at, const Piece& piece) {
    at += size_;
    Put(at, piece);
    for (at /= 2; at > 0; at /= 2) Update(at);
  }
  // The positions from first up to, not including, last.
  Piece Range(std::size_t first, std::size_t last) const {
    Piece left, right;
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
  void Fill(std::size_t first, std::size_t last, const Piece& piece) {
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
  Piece Node(std::size_t i) const { return {hashes_[i], lengths_[i]}; }
  void Put(std::size_t i, const Piece& piece) {
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
