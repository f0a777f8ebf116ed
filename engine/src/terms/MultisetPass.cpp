// SPDX-License-Identifier: MIT
// The P pass over the working text cut at its "P", "(" and ")" characters
// (the marks; values hold none of them). A P's term runs to the closer of its
// "(": the first ")" after the first "(" after it. The P's that share a closer
// form its group, and their terms are the ends of one text: P's are indexed
// by the length and hash of the text from them to their closer, and a copy of
// a term is a P with the term's key.
//
// Replacing a copy deletes the marks it covers, among them at most two
// closers: the first ")" after its P and its own. The P's of those groups
// before the copy keep the text before it and gain the value and the text up
// to their new closer, so they move as a whole. The P's whose "(" goes take
// the next group; those whose "(" stays take the first ")" after the copy,
// which then may become a closer. As in the C pass, moved P's wait in their
// new group under one shared transform of their keys and are found through
// the text after them (the tail, which starts with a value).
//
// A text of 32766 marks is the pass's worst case for memory, so all it keeps
// of a mark is in one record, its links in the live lists too, the index has
// room for P's alone, and the groups that copies empty serve again.

#include <algorithm>
#include <vector>

#include "rewrite/KeyIndex.h"
#include "rewrite/LiveLinks.h"
#include "rewrite/Pieces.h"
#include "rewrite/PolyHash.h"
#include "terms/CloserGroups.h"
#include "terms/TermPasses.h"
#include "rewrite/TextOps.h"

namespace orvane::detail {

namespace {

constexpr int kNone = -1;

using Key = TextKey;

// Where each mark stands in the working text and the hash of the text before
// it: the keys of the text before a mark and through it, from which the key
// of the text between any two marks is cut.
class MarkCuts {
 public:
  // Fills marks with the text's "P", "(" and ")", after a mark for its start
  // and room for one after them for its end.
  MarkCuts(TextView w, std::vector<Mark>& marks) : marks_(marks) {
    const auto isMark = [](char16_t c) { return c == u'P' || c == u'(' || c == u')'; };
    const std::size_t count = static_cast<std::size_t>(std::count_if(w.begin(), w.end(), isMark)) + 1;
    marks.reserve(count + 1);
    at_.reserve(count);
    before_.reserve(count);
    marks.emplace_back();
    at_.push_back(0);
    before_.push_back(0);
    std::uint64_t h = 0;
    for (std::size_t i = 0; i < w.size(); ++i) {
      if (isMark(w[i])) {
        marks.emplace_back().kind = w[i];
        at_.push_back(static_cast<std::uint32_t>(i));
        before_.push_back(h);
      }
      h = PolyHash::Step(h, w[i]);
    }
  }
  std::size_t At(int t) const { return at_[static_cast<std::size_t>(t)]; }
  TextKey Before(int t) const { return {static_cast<long long>(At(t)), before_[static_cast<std::size_t>(t)]}; }
  TextKey Through(int t) const {
    const auto i = static_cast<std::size_t>(t);
    return {static_cast<long long>(At(t)) + 1, PolyHash::Step(before_[i], marks_[i].kind)};
  }

 private:
  const std::vector<Mark>& marks_;
  std::vector<std::uint32_t> at_;  // a working text stays far below 2^32 characters
  std::vector<std::uint64_t> before_;
};

// The working text as its marks and the text before each of them: the live
// marks, and the live "(" and ")", found over the removed ones. The text
// before a removed mark joins that of the next live one, the end at last.
class MarkedText {
 public:
  void Cut(TextView w, const MarkCuts& cuts) {
    marks.emplace_back();  // the end
    live = Of(u"P()", Toward::kEnd, &Mark::toLive);
    opens = Of(u"(", Toward::kEnd, &Mark::toOpen);
    closes = Of(u")", Toward::kEnd, &Mark::toClose);
    brackets = Of(u"()", Toward::kStart, &Mark::toBracket);
    for (int t = 1; t <= End(); ++t) {
      const std::size_t from = t == 1 ? 0 : cuts.At(t - 1) + 1;
      const std::size_t to = t < End() ? cuts.At(t) : w.size();
      pieces.Append(Gap(t), w.substr(from, to - from));
    }
  }

  // The record after the last mark, which stands for the end of the text.
  int End() const { return static_cast<int>(marks.size()) - 1; }
  Mark& At(int mark) { return marks[static_cast<std::size_t>(mark)]; }
  Pieces::Chain& Gap(int mark) { return At(mark).gap; }
  // The first live mark after a mark, or the end.
  int Next(int mark) {
    const int next = live.From(mark + 1);
    return next == kNone ? End() : next;
  }

  // Replaces the marks from a through b, and the text between them, by the
  // value; goneP(t) learns of each P that goes.
  template <typename F>
  void Replace(int a, int b, TextView value, F goneP) {
    for (int t = a; t <= b; t = Next(t)) {
      const char16_t c = At(t).kind;
      if (c == u'P') {
        goneP(t);
      } else {
        (c == u'(' ? opens : closes).Remove(t);
        brackets.Remove(t);
      }
      live.Remove(t);
    }
    pieces.Append(Gap(a), value);
    pieces.Prepend(Gap(Next(b)), Gap(a));
  }

  Text Read() {
    Text out;
    for (int t = Next(0);; t = Next(t)) {
      pieces.AppendTo(Gap(t), out);
      if (t == End()) return out;
      out += At(t).kind;
    }
  }

  // Numbers the P's in text order.
  void NumberPs() {
    for (int t = 1; t < End(); ++t) {
      if (At(t).kind != u'P') continue;
      At(t).group = static_cast<int>(ps.size());
      ps.push_back(t);
    }
  }

  Pieces pieces;
  std::vector<Mark> marks;
  std::vector<int> ps;  // the P's by number
  // The live marks of some kinds, the nearest at or after (or before) a mark.
  using Marks = LiveLinks<int, MarkLinks>;
  Marks live;
  Marks opens;
  Marks closes;
  Marks brackets;  // toward the start, for the "(" or ")" before a mark

 private:
  // The marks of the kinds, the end not among them.
  Marks Of(TextView kinds, Toward toward, std::uint32_t Mark::*link) {
    const auto ofKinds = [&](int i) { return kinds.find(marks[static_cast<std::size_t>(i)].kind) != TextView::npos; };
    return Marks(static_cast<std::size_t>(End()), toward, ofKinds, MarkLinks{&marks, link});
  }
};

class MultisetPass {
 public:
  explicit MultisetPass(TextView w) : values_(u'P') { Split(w); }

  Text Run() {
    for (int front = Front(); front != kNone; front = Front()) Step(front);
    index_.CheckInvariants();
    for (const auto* links : {&text_.live, &text_.opens, &text_.closes, &text_.brackets}) links->CheckInvariants();
    return text_.Read();
  }

 private:
  void Split(TextView w) {
    {
      const MarkCuts cuts(w, text_.marks);
      text_.Cut(w, cuts);
      FileClosers(cuts);
      KeyItems(cuts);
    }
    // Filed once the cuts are gone, which a text of P's would hold at once
    // with the index; by their numbers, so that the index has room for P's alone.
    text_.NumberPs();
    index_ = KeyIndex(text_.ps.size(), text_.ps.size());
    for (int t = text_.End() - 1; t > 0; --t)
      if (closers_.At(t).indexed) File(closers_.At(t));
    closers_.moving.Expect(closers_.groups.size() + 2);  // a copy's groups take the places of those it empties
  }

  // A ")" keeps the key of the text after the ")" before it through it where a P keeps its term's.
  Key& Seg(int close) { return closers_.At(close).key; }

  // Closers, with their bodies, and every ")" with the text since the one before.
  void FileClosers(const MarkCuts& cuts) {
    TextKey lastClose{}, lastCloser{};  // the text through them
    bool open = false;
    for (int t = 1; t < text_.End(); ++t) {
      const char16_t c = text_.At(t).kind;
      if (c == u'(') open = true;
      if (c != u')') continue;
      const TextKey end = cuts.Through(t);
      Seg(t) = WithoutFront(end, lastClose);
      lastClose = end;
      if (open) {
        closers_.NewGroup(t, WithoutFront(end, lastCloser));
        lastCloser = end;
      }
      open = false;
    }
  }

  // Each P joins the group of the closer of its "(", from the right, with
  // the key of its term.
  void KeyItems(const MarkCuts& cuts) {
    int nextClose = kNone, closer = kNone;
    for (int t = text_.End() - 1; t > 0; --t) {
      const char16_t c = text_.At(t).kind;
      if (c == u')') nextClose = t;
      if (c == u'(') closer = nextClose;
      if (c != u'P' || closer == kNone) continue;
      Mark& m = closers_.At(t);
      m.key = WithoutFront(cuts.Through(closer), cuts.Before(t));
      m.indexed = true;
      closers_.moving.PushFront(closers_.G(closers_.GroupOf(closer)).indexed, t);
    }
  }

  // The leftmost P, or kNone; the cursor moves to the mark before it. The
  // marks it passes are "(" and ")", which no copy reaches any more.
  int Front() {
    for (int t = text_.Next(cursor_); t != text_.End(); t = text_.Next(cursor_)) {
      if (text_.At(t).kind == u'P') return t;
      before_ += static_cast<long long>(text_.Gap(t).size) + 1;
      cursor_ = t;
    }
    return kNone;
  }

  // Expands the leftmost P and every copy of its term.
  void Step(int front) {
    const long long first = before_ + static_cast<long long>(text_.Gap(front).size) + 1;
    const int open = text_.opens.From(front);
    if (open == kNone) MultisetTerm(u"", first, 0, 0);
    const int close = text_.closes.From(open);
    Text text;
    long long openAt = 0;
    for (int t = front;;) {
      if (t == open) openAt = first + static_cast<long long>(text.size());
      text += text_.At(t).kind;
      if (t == close) break;
      if (t == open && close == kNone) MultisetTerm(u"", first, openAt, 0);
      t = text_.Next(t);
      text_.pieces.AppendTo(text_.Gap(t), text);
    }
    const TextView value = values_(MultisetTerm(text, first, openAt, first + static_cast<long long>(text.size()) - 1));
    const std::size_t firstClose = text.find(u')') + 1;
    toFirstClose_ = {static_cast<long long>(firstClose), PolyHash::Of(TextView(text).substr(0, firstClose))};
    const TextView rest = TextView(text).substr(firstClose);
    const Key key = Join(toFirstClose_, {static_cast<long long>(rest.size()), PolyHash::Of(rest)});
    FindMovedCopies(text, key);
    moved_.push_back(front);  // found by its key too; named so that the walk always moves on
    ReplaceCopies(key, value);
  }

  // Gives the moved P's of a group their own keys in the index.
  void Index(int id) { closers_.moving.Settle(closers_.G(id), [&](Mark& m, int) { File(m); }); }
  void File(const Mark& p) { index_.Set(static_cast<std::size_t>(p.group), Filed(p.key)); }
  Mark& P(std::size_t number) { return closers_.At(text_.ps[number]); }

  // The P's among large moved groups whose key is the term's; small groups
  // met on the way are indexed instead.
  void FindMovedCopies(TextView term, Key key) {
    moved_.clear();
    closers_.moving.FindMoved(
        term, key, [&](int id) -> PGroup& { return closers_.G(id); }, [&](int id) { Index(id); },
        [&](int, int m) { moved_.push_back(m); });
  }

  // Every P whose term is the key's, from the right, each copy skipped that
  // lies in the one before it, as a left-to-right replacement skips it (a P
  // found twice among them too).
  void ReplaceCopies(Key key, TextView value) {
    copies_ = moved_;
    index_.TakeOut(
        Filed(key),
        [&](std::size_t number) { return Judged(P(number).alive && P(number).indexed, P(number).key == key); },
        [&](std::size_t number) { copies_.push_back(text_.ps[number]); });
    std::sort(copies_.begin(), copies_.end());
    std::size_t kept = 0;
    int end = kNone;
    for (const int p : copies_) {
      if (p <= end) continue;
      copies_[kept++] = p;
      end = text_.closes.From(text_.opens.From(p));
    }
    copies_.resize(kept);
    const Key valueKey{static_cast<long long>(value.size()), PolyHash::Of(value)};
    for (auto it = copies_.rbegin(); it != copies_.rend(); ++it) Replace(*it, key, value, valueKey);
  }

  // Replaces the copy whose P is mark copyP, through its closer, by the value.
  void Replace(int copyP, Key key, TextView value, Key valueKey) {
    const int closer = text_.closes.From(text_.opens.From(copyP));
    const int firstClose = text_.closes.From(copyP);  // the first ")" of the copy
    const int lastBracket = text_.brackets.From(copyP);
    // A "(" that stays before the copy closes after it.
    const bool keptOpen = lastBracket != kNone && text_.At(lastBracket).kind == u'(';
    const int closerGroup = closers_.GroupOf(closer);
    const int firstCloseGroup = firstClose != closer ? closers_.GroupOf(firstClose) : kNone;
    const Key rest = firstCloseGroup != kNone ? WithoutBack(closers_.G(firstCloseGroup).body, toFirstClose_)
                                              : WithoutBack(closers_.G(closerGroup).body, key);
    const Key segRest = WithoutBack(Seg(firstClose), toFirstClose_);
    const int nextClose = text_.closes.From(closer + 1);
    const int nextOpen = text_.opens.From(closer + 1);
    const int nextCloser = nextOpen == kNone ? kNone : text_.closes.From(nextOpen);
    const int nextGroup = nextCloser == kNone ? kNone : closers_.GroupOf(nextCloser);
    // The P's inside go: the end of the closer's group and the front of the next one.
    TrimBack(closers_.moving, closers_.G(closerGroup), [&](int p, bool) { return p >= copyP; });
    if (nextGroup != kNone) TrimFront(closers_.moving, closers_.G(nextGroup), [&](int p, bool) { return p < closer; });
    text_.Replace(copyP, closer, value, [&](int t) { closers_.At(t).alive = false; });
    Key nextSeg{};
    if (nextClose != kNone) {
      nextSeg = Seg(nextClose);
      Seg(nextClose) = Join(Join(segRest, valueKey), nextSeg);
    }
    // Where the P's go, and the text after them there.
    int keptTo = nextGroup, lostTo = nextGroup;
    Key keptTail{}, lostTail{};
    if (nextGroup != kNone) lostTail = keptTail = Join(valueKey, closers_.G(nextGroup).body);
    if (keptOpen && nextClose != kNone && nextClose != nextCloser) {
      keptTail = Join(valueKey, nextSeg);
      keptTo = closers_.NewGroup(nextClose, Join(Join(rest, valueKey), nextSeg));
      if (nextGroup != kNone) closers_.G(nextGroup).body = WithoutFront(closers_.G(nextGroup).body, nextSeg);
    } else if (nextGroup != kNone) {
      closers_.G(nextGroup).body = Join(Join(rest, valueKey), closers_.G(nextGroup).body);
    }
    if (keptTo != lostTo) {  // the P's after the "(" that stays keep it
      const int keptPart = closers_.SplitBefore(closerGroup, lastBracket);
      closers_.Move(keptPart, keptTo, Replacing(key, keptTail), keptTail);
      closers_.Retire(keptPart);
    }
    closers_.Move(closerGroup, lostTo, Replacing(key, lostTail), lostTail);
    closers_.Retire(closerGroup);
    if (firstCloseGroup == kNone) return;
    closers_.Move(firstCloseGroup, keptTo, Replacing(toFirstClose_, keptTail), keptTail);
    closers_.Retire(firstCloseGroup);
  }

  MarkedText text_;
  CloserGroups closers_{text_.marks};  // the P's of each closer
  KeyIndex index_;  // P's by the keys of their terms, under their numbers
  ValueCache values_;  // the pieces of the text point into its texts
  Key toFirstClose_{};  // the front term through its first ")"
  std::vector<int> copies_;
  std::vector<int> moved_;
  int cursor_ = 0;        // a mark before the front
  long long before_ = 0;  // the length of the text through the cursor
};

}  // namespace

Text ExpandMultisets(TextView text) {
  return Expanded(u'P', text, [&] { return MultisetPass(text).Run(); });
}

}  // namespace orvane::detail
