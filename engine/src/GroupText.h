// SPDX-License-Identifier: MIT
#pragma once

// The current text of a text whose groups are being replaced, kept as a tree
// of hashes over the positions of the original text.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PolyHash.h"
#include "orvane/Text.h"

namespace StringStuff::groups {

using orvane::TextView;

// Polynomial hashes modulo 2^61 - 1 (the term passes' arithmetic), kept with
// their length and the power of the base that shifts a text past them, so
// that pieces join in any order.
constexpr std::uint64_t kMod = orvane::detail::PolyHash::kMod;
constexpr std::uint64_t kBase = 1'000'003;

inline std::uint64_t MulMod(std::uint64_t a, std::uint64_t b) { return orvane::detail::PolyHash::Mul(a, b); }

struct Piece {
  std::uint64_t hash = 0;
  std::uint64_t power = 1;  // kBase to the length
  long long length = 0;
};

inline Piece Join(const Piece& a, const Piece& b) {
  if (b.length == 0) return a;
  if (a.length == 0) return b;
  std::uint64_t h = MulMod(a.hash, b.power) + b.hash;
  if (h >= kMod) h -= kMod;
  return {h, MulMod(a.power, b.power), a.length + b.length};
}

inline Piece PieceOf(TextView text) {
  Piece p;
  for (const char16_t c : text) p = Join(p, {static_cast<std::uint64_t>(c) + 1, kBase, 1});
  return p;
}
// "(" + inner + ")".
inline Piece Wrapped(const Piece& inner) {
  constexpr std::uint64_t kOpen = u'(' + 1, kClose = u')' + 1, kBase2 = kBase * kBase;
  std::uint64_t h = MulMod(MulMod(kOpen, inner.power) + inner.hash, kBase) + kClose;
  if (h >= kMod) h -= kMod;
  return {h, MulMod(inner.power, kBase2), inner.length + 2};
}

// The current text over the positions of the original one: each position
// holds its character, the value that replaced the group opening there, or
// nothing.
class PieceTree {
 public:
  explicit PieceTree(TextView text) {
    while (size_ < text.size()) size_ *= 2;
    nodes_.assign(2 * size_, Piece{});
    for (std::size_t i = 0; i < text.size(); ++i) nodes_[size_ + i] = {static_cast<std::uint64_t>(text[i]) + 1, kBase, 1};
    for (std::size_t i = size_ - 1; i > 0; --i) nodes_[i] = Join(nodes_[2 * i], nodes_[2 * i + 1]);
  }
  void Set(std::size_t at, const Piece& piece) {
    at += size_;
    nodes_[at] = piece;
    for (at /= 2; at > 0; at /= 2) nodes_[at] = Join(nodes_[2 * at], nodes_[2 * at + 1]);
  }
  // The positions from first up to, not including, last.
  Piece Range(std::size_t first, std::size_t last) const {
    Piece left, right;
    for (first += size_, last += size_; first < last; first /= 2, last /= 2) {
      if (first & 1) left = Join(left, nodes_[first++]);
      if (last & 1) right = Join(nodes_[--last], right);
    }
    return Join(left, right);
  }
  // The length alone of the same, which needs no hashing.
  long long Length(std::size_t first, std::size_t last) const {
    long long length = 0;
    for (first += size_, last += size_; first < last; first /= 2, last /= 2) {
      if (first & 1) length += nodes_[first++].length;
      if (last & 1) length += nodes_[--last].length;
    }
    return length;
  }
  // Empties the positions from first up to, not including, last, in time
  // proportional to their number.
  void Clear(std::size_t first, std::size_t last) {
    if (first >= last) return;
    std::size_t l = first + size_, r = last - 1 + size_;
    for (std::size_t i = l; i <= r; ++i) nodes_[i] = Piece{};
    while (l > 1) {
      l /= 2;
      r /= 2;
      for (std::size_t i = l; i <= r; ++i) nodes_[i] = Join(nodes_[2 * i], nodes_[2 * i + 1]);
    }
  }
  long long Length() const { return nodes_[1].length; }

 private:
  std::size_t size_ = 1;
  std::vector<Piece> nodes_;
};

}  // namespace StringStuff::groups
