// SPDX-License-Identifier: MIT
// Reading the current text, its keys from a tree over blocks of positions,
// and walking its pieces, over the original positions that the group passes
// keep.
#include "groups/CurrentText.h"

#include <algorithm>

namespace StringStuff::groups {

using orvane::Text;
using orvane::TextView;

CurrentText::CurrentText(const GroupTree& groups)
    : groups_(groups), state_(groups.text.size(), kOwn), pieces_(u"\\"), starts_{0, 0, 0, 1},
      pieceHashes_{0, 0, PolyHash::Of(u"\\")} {
  const std::size_t size = groups.text.size();
  if (groups.anyBackslash) {  // only runs of backslashes walk the pieces
    toEnd_ = LiveLinks<Pos, std::vector<Pos>>(size, orvane::detail::Toward::kEnd);
    toStart_ = LiveLinks<Pos, std::vector<Pos>>(size, orvane::detail::Toward::kStart);
  }
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
      out += groups_.text[i];
    } else {
      out += Piece(state_[i]);
    }
    if (groups_.IsReplaced(groups_.group[i])) i = groups_.match[i];
  }
  return out;
}

TextKey CurrentText::KeyAt(std::size_t i) const {
  if (state_[i] == kOwn) return CharPiece(groups_.text[i]);
  return {LengthAt(i), pieceHashes_[state_[i]]};
}

long long CurrentText::LengthAt(std::size_t i) const {
  return state_[i] == kOwn ? 1 : static_cast<long long>(starts_[state_[i] + 1] - starts_[state_[i]]);
}

// A stale node's hash is joined again from its children's, made good first.
TextKey CurrentText::Node(std::size_t node) const {
  if (stale_[node]) {
    if (node >= leaves_) {
      hashes_[node] = Range((node - leaves_) * kBlock, (node - leaves_ + 1) * kBlock).hash;
    } else {
      hashes_[node] = Join(Node(2 * node), Node(2 * node + 1)).hash;
    }
    stale_[node] = false;
  }
  return {lengths_[node], hashes_[node]};
}

TextKey CurrentText::Range(std::size_t first, std::size_t last) const {
  return Gather<TextKey>(
      first, last, [](const TextKey& a, const TextKey& b) { return Join(a, b); },
      [this](std::size_t i) { return KeyAt(i); }, [this](std::size_t node) { return Node(node); });
}

long long CurrentText::Length(std::size_t first, std::size_t last) const {
  return Gather<long long>(
      first, last, [](long long a, long long b) { return a + b; }, [this](std::size_t i) { return LengthAt(i); },
      [this](std::size_t node) { return static_cast<long long>(lengths_[node]); });
}

void CurrentText::Put(std::size_t i, TextView text) {
  if (text.empty()) return Set(i, kEmpty);
  if (text == u"\\") return Set(i, kBackslash);
  const auto last = static_cast<State>(pieceHashes_.size() - 1);
  if (Piece(last) == text) return Set(i, last);
  pieces_ += text;
  starts_.push_back(static_cast<std::uint32_t>(pieces_.size()));
  pieceHashes_.push_back(PolyHash::Of(text));
  Set(i, static_cast<State>(last + 1));
}

// The lengths on the way up change at once; the hashes go stale, up to the
// first node that is stale already.
void CurrentText::Set(std::size_t i, State state) {
  const long long change = -LengthAt(i);
  state_[i] = state;
  if (state == kEmpty && groups_.anyBackslash) {
    toEnd_.Remove(static_cast<Pos>(i));
    toStart_.Remove(static_cast<Pos>(i));
  }
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

bool CurrentText::IsBackslash(std::size_t i) const {
  return state_[i] == kOwn ? groups_.text[i] == u'\\' : state_[i] == kBackslash;
}

void CurrentText::RunThrough(std::size_t open, std::vector<std::size_t>& run) {
  run.clear();
  if (const std::size_t b = Before(open); b != kNone && IsBackslash(b)) run.push_back(b);
  for (std::size_t at = open;;) {
    run.push_back(at);
    std::size_t next = After(at);
    if (next != kNone && IsBackslash(next) && !groups_.IsPassGroup(next)) {
      run.push_back(next);
      next = After(next);
    }
    if (next == kNone || !groups_.IsPassGroup(next) || groups_.replaced[groups_.group[next]]) break;
    at = next;
  }
}

}  // namespace StringStuff::groups
