// SPDX-License-Identifier: MIT
// Reading the current text and its keys from a tree over blocks of the
// original positions that the group passes keep.
#include "groups/CurrentText.h"

#include <algorithm>

#include "rewrite/Invariants.h"

namespace orvane::StringStuff::groups {

CurrentText::CurrentText(const GroupTree& groups)
    : groups_(groups), state_(groups.Source().size(), kOwn), starts_{0, 0, 0}, pieceHashes_{0, 0} {
  const std::size_t size = groups.Source().size();
  while (leaves_ * kBlock < size) leaves_ *= 2;
  lengths_.assign(2 * leaves_, 0);
  hashes_.assign(2 * leaves_, 0);
  stale_.assign(2 * leaves_, true);  // no hash is joined before it is asked for
  for (std::size_t b = 0; b * kBlock < size; ++b)
    lengths_[leaves_ + b] = static_cast<std::uint32_t>(std::min(kBlock, size - b * kBlock));
  for (std::size_t node = leaves_ - 1; node > 0; --node) lengths_[node] = lengths_[2 * node] + lengths_[2 * node + 1];
}

Text CurrentText::Read(std::size_t first, std::size_t last) const {
  Text out;
  for (std::size_t i = first; i < last; ++i) {
    if (state_[i] == kOwn) {
      out += groups_.Source()[i];
    } else {
      out += Piece(state_[i]);
    }
    if (groups_.IsReplaced(groups_.GroupAt(i))) i = groups_.Match(i);
  }
  return out;
}

TextKey CurrentText::KeyAt(std::size_t i) const {
  if (state_[i] == kOwn) return CharPiece(groups_.Source()[i]);
  return {LengthAt(i), pieceHashes_[state_[i]]};
}

long long CurrentText::LengthAt(std::size_t i) const {
  return state_[i] == kOwn ? 1 : static_cast<long long>(starts_[state_[i] + 1] - starts_[state_[i]]);
}

// A stale node's hash is joined again from its children's, made good first.
TextKey CurrentText::Node(std::size_t node) const {
  if (stale_[node]) {
    hashes_[node] = node >= leaves_ ? Range((node - leaves_) * kBlock, (node - leaves_ + 1) * kBlock).hash
                                    : Join(Node(2 * node), Node(2 * node + 1)).hash;
    stale_[node] = false;
  }
  return {lengths_[node], hashes_[node]};
}

TextKey CurrentText::Range(std::size_t first, std::size_t last) const {
  return Gather<TextKey>(
      first, last, [](TextKey a, TextKey b) { return Join(a, b); },
      [this](std::size_t i) { return KeyAt(i); }, [this](std::size_t node) { return Node(node); });
}

long long CurrentText::Length(std::size_t first, std::size_t last) const {
  return Gather<long long>(
      first, last, [](long long a, long long b) { return a + b; }, [this](std::size_t i) { return LengthAt(i); },
      [this](std::size_t node) { return static_cast<long long>(lengths_[node]); });
}

void CurrentText::Put(std::size_t i, TextView text) {
  if (text.empty()) {
    Set(i, kEmpty);
    return;
  }
  const auto last = static_cast<State>(pieceHashes_.size() - 1);
  if (Piece(last) == text) {
    Set(i, last);
    return;
  }
  pieces_ += text;
  starts_.push_back(static_cast<std::uint32_t>(pieces_.size()));
  pieceHashes_.push_back(PolyHash::Of(text));
  Set(i, static_cast<State>(last + 1));
}

// The lengths on the way up change at once; the hashes go stale, up to the
// first node that is stale already.
void CurrentText::Set(std::size_t i, State state) {
  const long long change = -LengthAt(i);
  if constexpr (orvane::detail::kCheckInvariants)
    orvane::detail::Expect(state_[i] != kEmpty, "CurrentText: an emptied position filled or emptied again");
  state_[i] = state;
  const auto delta = static_cast<std::uint32_t>(change + LengthAt(i));  // modulo 2^32, as the sums are
  bool fresh = true;
  for (std::size_t node = leaves_ + i / kBlock; node > 0; node /= 2) {
    lengths_[node] += delta;
    if (fresh) {
      fresh = !stale_[node];
      stale_[node] = true;
    }
  }
}

void CurrentText::CheckInvariants() const {
  using orvane::detail::Expect;
  if constexpr (!orvane::detail::kCheckInvariants) return;
  for (std::size_t node = 2 * leaves_; node-- > 1;) {
    const std::size_t first = node >= leaves_ ? (node - leaves_) * kBlock : 0;
    const long long length = node >= leaves_ ? Length(first, first + kBlock)
                                             : static_cast<long long>(lengths_[2 * node] + lengths_[2 * node + 1]);
    Expect(lengths_[node] == static_cast<std::uint32_t>(length), "CurrentText: a node's length");
    if (stale_[node]) continue;
    if (node >= leaves_) {
      Expect(hashes_[node] == Range(first, first + kBlock).hash, "CurrentText: a fresh leaf's hash");
      continue;
    }
    Expect(!stale_[2 * node] && !stale_[2 * node + 1], "CurrentText: a fresh node above a stale one");
    const TextKey left{lengths_[2 * node], hashes_[2 * node]}, right{lengths_[2 * node + 1], hashes_[2 * node + 1]};
    Expect(hashes_[node] == Join(left, right).hash, "CurrentText: a fresh node's hash");
  }
}

}  // namespace orvane::StringStuff::groups
