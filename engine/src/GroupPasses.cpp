// SPDX-License-Identifier: MIT
#include "GroupPasses.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "TextOps.h"
#include "orvane/StringStuff.h"

namespace StringStuff {

using namespace orvane;

namespace {

// Polynomial hashes modulo 2^61 - 1, kept with their length and the power of
// the base that shifts a text past them, so that pieces join in any order.
constexpr std::uint64_t kMod = (1ULL << 61) - 1;
constexpr std::uint64_t kBase = 1'000'003;

__extension__ typedef unsigned __int128 Wide;

std::uint64_t MulMod(std::uint64_t a, std::uint64_t b) {
  const Wide p = static_cast<Wide>(a) * b;
  const std::uint64_t r = static_cast<std::uint64_t>(p >> 61) + static_cast<std::uint64_t>(p & kMod);
  return r >= kMod ? r - kMod : r;
}

struct Piece {
  std::uint64_t hash = 0;
  std::uint64_t power = 1;  // kBase to the length
  long long length = 0;
};

Piece Join(const Piece& a, const Piece& b) {
  std::uint64_t h = MulMod(a.hash, b.power) + b.hash;
  if (h >= kMod) h -= kMod;
  return {h, MulMod(a.power, b.power), a.length + b.length};
}

Piece PieceOf(TextView text) {
  Piece p;
  for (const char16_t c : text) p = Join(p, {static_cast<std::uint64_t>(c) + 1, kBase, 1});
  return p;
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

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

class Passes {
 public:
  explicit Passes(TextView text) : text_(text), tree_(text) {
    const std::size_t n = text.size();
    close_.assign(n, kNone);
    open_.assign(n, kNone);
    group_.assign(n, kNone);
    enclosing_.assign(n, kNone);
    over_.assign(n, {});
    overridden_.assign(n, false);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < n; ++i) {
      if (text[i] == u'(') {
        open.push_back(i);
      } else if (text[i] == u')' && !open.empty()) {
        const std::size_t o = open.back();
        open.pop_back();
        close_[o] = i;
        open_[i] = o;
      }
    }
    // Closed groups with their nearest closed enclosing group, in text order.
    std::vector<std::size_t> stack;
    for (std::size_t i = 0; i < n; ++i) {
      while (!stack.empty() && close_[starts_[stack.back()]] < i) stack.pop_back();
      enclosing_[i] = stack.empty() ? kNone : stack.back();
      if (text[i] == u'(' && close_[i] != kNone) {
        group_[i] = starts_.size();
        parent_.push_back(stack.empty() ? kNone : stack.back());
        stack.push_back(starts_.size());
        starts_.push_back(i);
      }
    }
    const std::size_t g = starts_.size();
    replaced_.assign(g, false);
    dead_.assign(g, false);
    refreshed_.assign(g, 0);
    key_.assign(g, 0);
    // The first keys come from prefix hashes of the text.
    std::vector<Piece> prefix(n + 1);
    for (std::size_t i = 0; i < n; ++i) prefix[i + 1] = Join(prefix[i], {static_cast<std::uint64_t>(text[i]) + 1, kBase, 1});
    buckets_.reserve(g);
    for (std::size_t k = 0; k < g; ++k) {
      const Piece& a = prefix[starts_[k] + 1];
      const Piece& b = prefix[close_[starts_[k]]];
      std::uint64_t h = b.hash + kMod - MulMod(a.hash, prefix[static_cast<std::size_t>(b.length - a.length)].power);
      if (h >= kMod) h -= kMod;
      key_[k] = KeyFor(h, b.length - a.length);
      buckets_[key_[k]].push_back(k);
    }
    lonelyBackslashes_ = detail::Contains(text, u'\\');
  }

  Text Run() {
    std::size_t i = 0;
    while (i < text_.size()) {
      if (text_[i] != u'(') {
        ++i;
        continue;
      }
      const std::size_t k = group_[i];
      if (k != kNone && replaced_[k]) {
        i = close_[i] + 1;
        continue;
      }
      CheckLength();
      if (k == kNone) return Unclosed(i);
      Pass(k);
      i = close_[i] + 1;
    }
    return Current(0, text_.size());
  }

 private:
  void CheckLength() const {
    if (tree_.Length() >= kInt16Max) throw RunTimeError(ErrorKind::IntegerOverflow);
  }

  static std::uint64_t KeyFor(std::uint64_t hash, long long length) {
    return hash ^ (static_cast<std::uint64_t>(length) << 40);
  }
  std::uint64_t KeyOf(std::size_t k) const {
    const Piece p = tree_.Range(starts_[k] + 1, close_[starts_[k]]);
    return KeyFor(p.hash, p.length);
  }

  void Index(std::size_t k) {
    key_[k] = KeyOf(k);
    buckets_[key_[k]].push_back(k);
  }

  // The current text of the positions first to last, values in place of the
  // groups they replaced.
  Text Current(std::size_t first, std::size_t last) const {
    Text out;
    for (std::size_t i = first; i < last; ++i) {
      const std::size_t k = group_[i];
      if (k != kNone && replaced_[k]) {
        out += over_[i];
        i = close_[i];
      } else if (overridden_[i]) {
        out += over_[i];
      } else {
        out += text_[i];
      }
    }
    return out;
  }

  // The depth counter of the group scan over the current text from open on.
  void CheckDepth(std::size_t open, std::size_t last) const {
    int depth = 0;
    for (std::size_t i = open; i < last; ++i) {
      const std::size_t k = group_[i];
      if (k != kNone && replaced_[k]) {
        i = close_[i];
      } else if (text_[i] == u'(') {
        if (++depth > 255) throw RunTimeError(ErrorKind::IntegerOverflow);
      } else if (text_[i] == u')') {
        --depth;
      }
    }
  }

  // A "(" that never closes: only "()" is replaced, and the passes left
  // change nothing.
  Text Unclosed(std::size_t open) const {
    CheckDepth(open, text_.size());
    // No placeholder can meet the text before the "(" that never closes.
    const Text rest = detail::ReplaceAll(Current(open, text_.size()), u"()", u"\\\\");
    return Current(0, open) + detail::ReplaceAll(rest, u"\\\\", u"0");
  }

  void Replace(std::size_t k, const Text& value, const Piece& piece) {
    const std::size_t open = starts_[k];
    const std::size_t close = close_[open];
    replaced_[k] = true;
    over_[open] = value;
    tree_.Set(open, piece);
    // Everything inside goes; a group replaced before has its inside
    // cleared already.
    std::size_t gap = open + 1;
    for (std::size_t i = open + 1; i <= close; ++i) {
      const std::size_t inner = group_[i];
      if (inner == kNone) continue;
      dead_[inner] = true;
      if (replaced_[inner]) {
        tree_.Clear(gap, i + 1);
        i = close_[i];
        gap = i + 1;
      }
    }
    tree_.Clear(gap, close + 1);
    MarkDirty(parent_[k]);
  }

  // A change inside group from makes its key and those of all its enclosing
  // groups stale. Re-keying them at once would cost the depth of the nesting
  // per change; instead from is noted with its length. The groups around it
  // are longer, so a lookup for a shorter text can leave them all stale.
  void MarkDirty(std::size_t from) {
    if (from != kNone) stale_.push({InnerLength(from), from});
  }

  // Re-keys every stale group whose text is at most length long, so that the
  // buckets hold every group that can be a copy of a text of that length.
  void Refresh(long long length) {
    ++lookup_;
    while (!stale_.empty() && stale_.top().first <= length) {
      std::size_t g = stale_.top().second;
      stale_.pop();
      for (; g != kNone && !dead_[g] && !replaced_[g] && refreshed_[g] != lookup_; g = parent_[g]) {
        const long long own = InnerLength(g);
        if (own > length) {
          stale_.push({own, g});
          break;
        }
        refreshed_[g] = lookup_;
        Index(g);
      }
    }
  }

  long long InnerLength(std::size_t k) const { return tree_.Range(starts_[k] + 1, close_[starts_[k]]).length; }

  // The current text at position i when it is one character or more: what
  // stands there, else nothing.
  bool IsBackslash(std::size_t i) const {
    const std::size_t k = group_[i];
    if ((k != kNone && replaced_[k]) || overridden_[i]) return over_[i] == u"\\";
    return text_[i] == u'\\';
  }
  bool IsEmpty(std::size_t i) const {
    const std::size_t k = group_[i];
    return ((k != kNone && replaced_[k]) || overridden_[i]) && over_[i].empty();
  }
  // The position of the piece before i in the current text (a replaced
  // group counts at its "("), or kNone.
  std::size_t Before(std::size_t i) const {
    while (i > 0) {
      --i;
      if (text_[i] == u')' && open_[i] != kNone && replaced_[group_[open_[i]]]) i = open_[i];
      if (!IsEmpty(i)) return i;
    }
    return kNone;
  }
  // The position of the piece after the one at i.
  std::size_t After(std::size_t i) const {
    const std::size_t k = group_[i];
    if (k != kNone && (replaced_[k] || inPass_.count(k))) i = close_[i];
    for (++i; i < text_.size(); ++i) {
      const std::size_t g = group_[i];
      if (g != kNone && replaced_[g]) {
        if (!over_[i].empty()) return i;
        i = close_[i];
      } else if (!IsEmpty(i)) {
        return i;
      }
    }
    return kNone;
  }

  // One pass: the first group, evaluated, and every copy of it after it.
  void Pass(std::size_t k) {
    const std::size_t open = starts_[k];
    const std::size_t close = close_[open];
    CheckDepth(open, close + 1);
    const Text inner = Current(open + 1, close);
    const Text g = detail::Contains(inner, u'(') ? EvalParens(inner) : inner;
    const Text v = EvalFlat(g);
    const Piece piece = PieceOf(v);
    const std::uint64_t key = KeyOf(k);
    Refresh(static_cast<long long>(inner.size()));
    std::vector<std::size_t> copies, kept;
    if (const auto it = buckets_.find(key); it != buckets_.end()) {
      for (const std::size_t c : it->second) {
        if (starts_[c] <= close || dead_[c] || replaced_[c] || key_[c] != key) continue;
        if (KeyOf(c) != key) continue;  // stale: indexed again under its new key when refreshed
        if (Current(starts_[c] + 1, close_[starts_[c]]) == inner) {
          copies.push_back(c);
        } else {
          kept.push_back(c);  // the same hash, another text
        }
      }
      it->second = std::move(kept);
    }
    copies.insert(copies.begin(), k);
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());
    if (!lonelyBackslashes_) {
      for (const std::size_t c : copies) Replace(c, v, piece);
      return;
    }
    // The placeholders and the lone backslashes next to them make runs of
    // backslashes: each pair becomes the value, an odd one stays behind them.
    inPass_.clear();
    inPass_.insert(copies.begin(), copies.end());
    std::vector<std::size_t> run;  // positions: a group's "(" or a lone backslash
    for (const std::size_t c : copies) {
      if (replaced_[c]) continue;
      run.clear();
      if (const std::size_t b = Before(starts_[c]); b != kNone && IsBackslash(b)) run.push_back(b);
      for (std::size_t at = starts_[c];;) {
        run.push_back(at);
        std::size_t next = After(at);
        if (next != kNone && IsBackslash(next) && !(group_[next] != kNone && inPass_.count(group_[next]))) {
          run.push_back(next);
          next = After(next);
        }
        if (next == kNone || group_[next] == kNone || !inPass_.count(group_[next]) || replaced_[group_[next]]) break;
        at = next;
      }
      std::size_t groups = 0;
      for (const std::size_t at : run) groups += group_[at] != kNone && inPass_.count(group_[at]) && text_[at] == u'(';
      const std::size_t lone = run.size() - groups;
      const std::size_t values = groups + lone / 2;
      for (std::size_t j = 0; j < run.size(); ++j) {
        const Text pieceText = j < values ? v : j == values && lone % 2 ? Text(u"\\") : Text();
        const std::size_t at = run[j];
        const std::size_t owner = group_[at];
        if (owner != kNone && inPass_.count(owner) && !replaced_[owner] && text_[at] == u'(') {
          Replace(owner, pieceText, PieceOf(pieceText));
        } else {
          overridden_[at] = true;
          over_[at] = pieceText;
          tree_.Set(at, PieceOf(pieceText));
          MarkDirty(enclosing_[at]);
        }
      }
    }
    inPass_.clear();
  }

  TextView text_;
  PieceTree tree_;
  std::vector<std::size_t> close_;   // per "(": its ")", or kNone
  std::vector<std::size_t> group_;   // per "(": its closed group, or kNone
  std::vector<std::size_t> starts_;  // per group: its "("
  std::vector<std::size_t> parent_;
  std::vector<bool> replaced_, dead_;
  std::vector<std::uint64_t> key_;
  std::vector<std::size_t> open_;       // per ")": its "(", or kNone
  std::vector<std::size_t> enclosing_;  // per position: the closed group around it, or kNone
  std::vector<Text> over_;              // what stands at a replaced group's "(" or a changed backslash
  std::vector<bool> overridden_;
  std::unordered_set<std::size_t> inPass_;  // the groups replaced in this pass
  bool lonelyBackslashes_ = false;
  // Groups whose keys, and those of the groups around them, may be stale,
  // shortest first.
  std::priority_queue<std::pair<long long, std::size_t>, std::vector<std::pair<long long, std::size_t>>,
                      std::greater<>>
      stale_;
  std::vector<std::size_t> refreshed_;  // per group: the last lookup that re-keyed it
  std::size_t lookup_ = 0;
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> buckets_;
};

}  // namespace

Text RunGroupPasses(TextView text) {
  CountChar(text, u"(");  // a text of 32767 characters or more overflows
  return Passes(text).Run();
}

}  // namespace StringStuff
