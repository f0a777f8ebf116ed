// SPDX-License-Identifier: MIT
#include "groups/GroupPasses.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

#include "rewrite/PieceTree.h"
#include "rewrite/KeyIndex.h"
#include "rewrite/TextOps.h"
#include "flat/FlatEvaluation.h"
#include "groups/GroupEvaluation.h"

namespace StringStuff::groups {

using namespace orvane;

namespace {

// The passes take texts of fewer than 32767 characters, so positions and
// groups fit 16 bits, which keeps what the passes hold beside the text small.
using Pos = std::uint16_t;
constexpr Pos kNone = ~Pos{0};
// Stamps count passes and lookups, which are fewer than the groups.
using Stamp = std::uint32_t;

// The passes of one text, each over the first group left: its value replaces
// it and every group whose current text is the same. The current texts live
// in a tree of hashes over the original positions, and the groups in an index
// by their current keys. Replacing a group changes the keys of all groups
// around it; those are re-keyed only when a lookup could need them.
class Passes {
 public:
  explicit Passes(TextView text)
      : text_(text),
        tree_(text),
        opens_(static_cast<std::size_t>(std::count(text.begin(), text.end(), u'('))),
        index_(opens_) {
    const std::size_t n = text.size();
    close_.assign(n, kNone);
    open_.assign(n, kNone);
    group_.assign(n, kNone);
    // Only a changed backslash needs the group around it.
    lonelyBackslashes_ = detail::Contains(text, u'\\');
    if (lonelyBackslashes_) {
      enclosing_.assign(n, kNone);
      backslashesBefore_.assign(n + 1, 0);
      for (std::size_t i = 0; i < n; ++i) backslashesBefore_[i + 1] = backslashesBefore_[i] + (text[i] == u'\\');
    }
    over_.assign(n, 0);
    texts_.emplace_back();
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
      if (lonelyBackslashes_) enclosing_[i] = stack.empty() ? kNone : stack.back();
      if (text[i] == u'(' && close_[i] != kNone) {
        group_[i] = starts_.size();
        parent_.push_back(stack.empty() ? kNone : stack.back());
        if (stack.size() == byDepth_.size()) byDepth_.emplace_back();
        byDepth_[stack.size()].push_back(starts_.size());
        depth_.push_back(stack.size());
        stack.push_back(starts_.size());
        starts_.push_back(i);
      }
    }
    const std::size_t g = starts_.size();
    replaced_.assign(g, false);
    // How deep each group's own nesting goes, as its depth counter would count it.
    height_.assign(g, 1);
    last_.resize(g);
    for (std::size_t k = g; k-- > 0;) {
      last_[k] = std::max<std::size_t>(last_[k], k);
      if (parent_[k] == kNone) continue;
      height_[parent_[k]] = static_cast<Pos>(std::max<std::size_t>(height_[parent_[k]], height_[k] + 1u));
      last_[parent_[k]] = std::max(last_[parent_[k]], last_[k]);
    }
    dead_.assign(g, false);
    refreshed_.assign(g, 0);
    passOf_.assign(g, 0);  // passes count from 1
    pending_.assign(g, kNotPending);
    bisected_.assign(g, 0);
    // The first keys, from one scan: the inside of each open group joins up
    // on a stack, and a closed group joins its parent's inside whole.
    std::vector<TextKey> inside;
    for (std::size_t i = 0; i < n; ++i) {
      if (group_[i] != kNone) {
        inside.emplace_back();
        continue;
      }
      TextKey piece = CharPiece(text[i]);
      if (text[i] == u')' && open_[i] != kNone) {
        Index(group_[open_[i]], inside.back());
        piece = Wrapped(inside.back());
        inside.pop_back();
      }
      if (!inside.empty()) inside.back() = Join(inside.back(), piece);
    }
  }

  Text Run() {
    std::size_t i = 0, passes = 0;
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
      if (height_[k] > 255) CheckDepth(i, close_[i] + 1);
      Pass(k, starts_.size() - 1);
      ++passes;
      i = close_[i] + 1;
    }
    CheckPassesLeft(passes, opens_, tree_.Length());
    return Current(0, text_.size());
  }

 private:
  void CheckLength() const {
    if (tree_.Length() >= kInt16Max) throw RunTimeError(ErrorKind::IntegerOverflow);
  }

  // The passes over the inside of a group that is being evaluated: a text of
  // its own, whose copies are sought within it alone.
  // Every "(" inside a closed group closes inside it, and its nesting was
  // checked with the group's.
  void PassesInside(std::size_t owner) {
    const std::size_t first = starts_[owner] + 1, last = close_[starts_[owner]];
    std::size_t passes = 0;
    for (std::size_t i = first; i < last;) {
      if (text_[i] != u'(') {
        ++i;
        continue;
      }
      if (!replaced_[group_[i]]) {
        if (tree_.Length(first, last) >= kInt16Max) throw RunTimeError(ErrorKind::IntegerOverflow);
        Pass(group_[i], last_[owner]);
        ++passes;
      }
      i = close_[i] + 1;
    }
    CheckPassesLeft(passes, last_[owner] - owner, tree_.Length(first, last));
  }

  // A text has one pass per "(" it holds, and a pass that took nested groups
  // or copies along leaves passes over: they find no group, but each still
  // checks the length of the text.
  static void CheckPassesLeft(std::size_t passes, std::size_t opens, long long length) {
    if (passes < opens && length >= kInt16Max) throw RunTimeError(ErrorKind::IntegerOverflow);
  }

  std::uint64_t KeyOf(std::size_t k) const {
    const TextKey p = tree_.Range(starts_[k] + 1, close_[starts_[k]]);
    return detail::Filed(p);
  }

  void Index(std::size_t k, const TextKey& inner) { index_.Set(k, detail::Filed(inner)); }

  // The current text of the positions first to last, values in place of the
  // groups they replaced.
  Text Current(std::size_t first, std::size_t last) const {
    Text out;
    for (std::size_t i = first; i < last; ++i) {
      const std::size_t k = group_[i];
      if (k != kNone && replaced_[k]) {
        out += Over(i);
        i = close_[i];
      } else if (overridden_[i]) {
        out += Over(i);
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

  void Replace(std::size_t k, const Text& value, const TextKey& piece) {
    const std::size_t open = starts_[k];
    const std::size_t close = close_[open];
    replaced_[k] = true;
    SetOver(open, value);
    // The value stands at the "(", and everything after it inside goes; a
    // group replaced before has its inside cleared already.
    const auto clear = [&](std::size_t first, std::size_t last) {
      tree_.Fill(first, last, first == open ? piece : TextKey{});
    };
    std::size_t gap = open;
    for (std::size_t i = open + 1; i <= close; ++i) {
      const std::size_t inner = group_[i];
      if (inner == kNone) continue;
      dead_[inner] = true;
      if (replaced_[inner]) {
        clear(gap, i + 1);
        i = close_[i];
        gap = i + 1;
      }
    }
    clear(gap, close + 1);
    MarkDirty(parent_[k]);
  }

  // A change inside group from makes its key and those of all its enclosing
  // groups stale. Re-keying them at once would cost the depth of the nesting
  // per change; instead from is noted with its length. The groups around it
  // are longer, so a lookup for a shorter text can leave them all stale.
  // A chain that changes again would soon be stale again after a climb, so
  // its count of bisections starts over.
  void MarkDirty(std::size_t from) {
    if (from == kNone) return;
    bisected_[from] = 0;
    Note(from, InnerLength(from));
  }
  void Note(std::size_t g, long long length) {
    pending_[g] = length;
    stale_.push({length, g});
  }

  // Re-keys the stale groups that can be a copy of a text of this length.
  // The groups around a noted one that are at most that long are re-keyed as
  // the lookup climbs to them, when they are few; in a longer chain, only the
  // one group that has the length is, and the chain stays noted.
  void Refresh(long long length) {
    ++lookup_;
    deferred_.clear();
    while (!stale_.empty() && stale_.top().first <= length) {
      const auto [noted, g] = stale_.top();
      stale_.pop();
      if (pending_[g] != noted) continue;  // noted again since
      pending_[g] = kNotPending;
      if (dead_[g] || replaced_[g] || refreshed_[g] == lookup_) continue;
      // A chain bisected as often as it is deep over kClimbed is climbed once
      // in full, which its later changes then wait for in the same way.
      if (depth_[g] >= kClimbed && bisected_[g] * kClimbed < depth_[g] &&
          InnerLength(Around(g, depth_[g] - kClimbed)) <= length) {
        ++bisected_[g];
        Bisect(g, length);
        deferred_.push_back(g);
      } else {
        bisected_[g] = 0;
        Climb(g, length);
      }
    }
    for (const std::size_t g : deferred_) Note(g, InnerLength(g));
  }

  void Climb(std::size_t g, long long length) {
    TextKey inner = tree_.Range(starts_[g] + 1, close_[starts_[g]]);
    while (inner.length <= length) {
      refreshed_[g] = lookup_;
      Index(g, inner);
      const std::size_t up = parent_[g];
      if (up == kNone || refreshed_[up] == lookup_) return;
      // The enclosing group's text: the characters before this group, the
      // group, the characters after it.
      inner = Wrapped(inner);
      if (starts_[up] + 1 < starts_[g]) inner = Join(tree_.Range(starts_[up] + 1, starts_[g]), inner);
      if (close_[starts_[g]] + 1 < close_[starts_[up]])
        inner = Join(inner, tree_.Range(close_[starts_[g]] + 1, close_[starts_[up]]));
      g = up;
    }
    Note(g, inner.length);
  }

  // Re-keys the group around g, or g itself, whose text is length long, if
  // there is one: the texts grow strictly outwards.
  void Bisect(std::size_t g, long long length) {
    // Each level is two characters longer than the one inside it at least,
    // which bounds how far out the one sought can be; in a bare chain of
    // groups it is right there, so the search gallops inwards from the bound.
    const long long own = InnerLength(g);
    const std::size_t out = own >= length ? 0 : static_cast<std::size_t>((length - own + 1) / 2);
    std::size_t shallow = depth_[g] - std::min<std::size_t>(out, depth_[g]);
    std::size_t deep = depth_[g];  // the one sought is no deeper than deep
    for (std::size_t step = 1; shallow < deep; step *= 2) {
      const std::size_t probe = std::min(shallow + step, deep);
      if (InnerLength(Around(g, probe)) < length) {
        deep = probe - 1;
        break;
      }
      shallow = probe;
    }
    while (shallow < deep) {
      const std::size_t mid = (shallow + deep + 1) / 2;
      if (InnerLength(Around(g, mid)) >= length) {
        shallow = mid;
      } else {
        deep = mid - 1;
      }
    }
    const std::size_t found = Around(g, shallow);
    const TextKey inner = tree_.Range(starts_[found] + 1, close_[starts_[found]]);
    if (inner.length == length && refreshed_[found] != lookup_) {
      refreshed_[found] = lookup_;
      Index(found, inner);
    }
  }

  // The group at that depth around g.
  std::size_t Around(std::size_t g, std::size_t depth) const {
    const std::vector<Pos>& level = byDepth_[depth];
    const auto after = std::upper_bound(level.begin(), level.end(), starts_[g],
                                        [this](std::size_t at, std::size_t k) { return at < starts_[k]; });
    return *(after - 1);
  }

  long long InnerLength(std::size_t k) const { return tree_.Length(starts_[k] + 1, close_[starts_[k]]); }

  bool InPass(std::size_t k) const { return passOf_[k] == pass_; }

  const Text& Over(std::size_t i) const { return texts_[over_[i]]; }
  void SetOver(std::size_t i, const Text& text) {
    if (texts_.back() != text) texts_.push_back(text);
    over_[i] = static_cast<std::uint32_t>(texts_.size() - 1);
  }

  // The current text at position i when it is one character or more: what
  // stands there, else nothing.
  bool IsBackslash(std::size_t i) const {
    const std::size_t k = group_[i];
    if ((k != kNone && replaced_[k]) || overridden_[i]) return Over(i) == u"\\";
    return text_[i] == u'\\';
  }
  bool IsEmpty(std::size_t i) const {
    const std::size_t k = group_[i];
    return ((k != kNone && replaced_[k]) || overridden_[i]) && Over(i).empty();
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
    if (k != kNone && (replaced_[k] || InPass(k))) i = close_[i];
    for (++i; i < text_.size(); ++i) {
      const std::size_t g = group_[i];
      if (g != kNone && replaced_[g]) {
        if (!Over(i).empty()) return i;
        i = close_[i];
      } else if (!IsEmpty(i)) {
        return i;
      }
    }
    return kNone;
  }

  // The inside of group k with its own groups replaced, as a text of its own
  // would have them. A long inside, or one holding a backslash (which no walk
  // takes), has its passes here, within it alone; a short one is a text of
  // its own, where one walk mostly does.
  Text Evaluated(std::size_t k, Text& inner) {
    const std::size_t open = starts_[k], close = close_[open];
    const bool backslash = lonelyBackslashes_ && backslashesBefore_[close] != backslashesBefore_[open];
    if (close - open > kEvaluatedHere || backslash) {
      PassesInside(k);
      return Current(open + 1, close);
    }
    if (inner.empty()) inner = Current(open + 1, close);
    return detail::Contains(inner, u'(') ? Evaluate(inner) : inner;
  }

  // One pass over a text whose groups run up to lastGroup: group k, the first
  // one left there, evaluated, and every copy of it after it.
  void Pass(std::size_t k, std::size_t lastGroup) {
    const std::size_t open = starts_[k];
    const std::size_t close = close_[open];
    // The copies are those of the text before its inside is evaluated.
    const std::uint64_t key = KeyOf(k);
    Refresh(InnerLength(k));
    std::vector<std::size_t> copies;
    Text inner;  // read only once a group has the same key
    // The groups of this pass's text are numbered from k up to lastGroup; the
    // index lists groups in that order, and those before k are gone.
    index_.ForEach(key, [&](std::size_t c) {
      if (c > lastGroup) return false;
      // Gone, going with k, or stale (filed again under its new key when refreshed).
      if (c <= last_[k] || dead_[c] || replaced_[c] || KeyOf(c) != key) {
        index_.Remove(c);
        return true;
      }
      if (inner.empty()) inner = Current(open + 1, close);
      if (Current(starts_[c] + 1, close_[starts_[c]]) == inner) {
        copies.push_back(c);
        index_.Remove(c);
      }  // else the same hash of another text
      return true;
    });
    const Text v = flat::Evaluate(Evaluated(k, inner));
    const TextKey piece = PieceOf(v);
    copies.insert(copies.begin(), k);
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());
    if (!lonelyBackslashes_) {
      for (const std::size_t c : copies) Replace(c, v, piece);
      return;
    }
    // The placeholders and the lone backslashes next to them make runs of
    // backslashes: each pair becomes the value, an odd one stays behind them.
    ++pass_;
    for (const std::size_t c : copies) passOf_[c] = pass_;
    std::vector<std::size_t> run;  // positions: a group's "(" or a lone backslash
    for (const std::size_t c : copies) {
      if (replaced_[c]) continue;
      run.clear();
      if (const std::size_t b = Before(starts_[c]); b != kNone && IsBackslash(b)) run.push_back(b);
      for (std::size_t at = starts_[c];;) {
        run.push_back(at);
        std::size_t next = After(at);
        if (next != kNone && IsBackslash(next) && !(group_[next] != kNone && InPass(group_[next]))) {
          run.push_back(next);
          next = After(next);
        }
        if (next == kNone || group_[next] == kNone || !InPass(group_[next]) || replaced_[group_[next]]) break;
        at = next;
      }
      std::size_t groups = 0;
      for (const std::size_t at : run) groups += group_[at] != kNone && InPass(group_[at]) && text_[at] == u'(';
      const std::size_t lone = run.size() - groups;
      const std::size_t values = groups + lone / 2;
      for (std::size_t j = 0; j < run.size(); ++j) {
        const Text pieceText = j < values ? v : j == values && lone % 2 ? Text(u"\\") : Text();
        const std::size_t at = run[j];
        const std::size_t owner = group_[at];
        if (owner != kNone && InPass(owner) && !replaced_[owner] && text_[at] == u'(') {
          Replace(owner, pieceText, PieceOf(pieceText));
        } else {
          overridden_[at] = true;
          SetOver(at, pieceText);
          tree_.Set(at, PieceOf(pieceText));
          MarkDirty(enclosing_[at]);
        }
      }
    }
  }

  TextView text_;
  PieceTree tree_;
  std::size_t opens_;  // "(" in the text, closed or not
  detail::KeyIndex index_;
  std::vector<Pos> close_;   // per "(": its ")", or kNone
  std::vector<Pos> group_;   // per "(": its closed group, or kNone
  std::vector<Pos> starts_;  // per group: its "("
  std::vector<Pos> parent_;
  std::vector<Pos> height_;  // per group: its levels of nesting, itself included
  std::vector<Pos> last_;    // per group: the last group inside it, or itself
  std::vector<bool> replaced_, dead_;
  std::vector<Pos> open_;       // per ")": its "(", or kNone
  std::vector<Pos> enclosing_;  // per position: the closed group around it, or kNone
  std::vector<Pos> backslashesBefore_;  // per position: backslashes of the text before it
  // What stands at a replaced group's "(" or a changed backslash: an index
  // into texts_, which holds each value once for all its copies.
  std::vector<std::uint32_t> over_;
  std::vector<Text> texts_;
  std::vector<bool> overridden_;
  std::vector<Stamp> passOf_;  // per group: the last pass that took it as a copy
  Stamp pass_ = 0;
  bool lonelyBackslashes_ = false;
  // Groups whose keys, and those of the groups around them, may be stale,
  // shortest first.
  std::priority_queue<std::pair<long long, std::size_t>, std::vector<std::pair<long long, std::size_t>>,
                      std::greater<>>
      stale_;
  std::vector<Stamp> refreshed_;  // per group: the last lookup that re-keyed it
  Stamp lookup_ = 0;
  static constexpr long long kNotPending = -1;
  static constexpr std::size_t kClimbed = 8;
  static constexpr std::size_t kEvaluatedHere = 2048;
  std::vector<long long> pending_;  // per group: the length it was last noted with
  std::vector<std::size_t> deferred_;
  std::vector<Pos> bisected_;  // per group: lookups that bisected its chain since it was last climbed
  std::vector<Pos> depth_;                 // per group: how many groups enclose it
  std::vector<std::vector<Pos>> byDepth_;  // the groups of each depth, in text order
};

}  // namespace

Text RunGroupPasses(TextView text) {
  detail::Occurrences(text, u'(');  // a text of 32767 characters or more overflows
  return Passes(text).Run();
}

}  // namespace StringStuff::groups
