// SPDX-License-Identifier: MIT
#pragma once

// The P's of the P pass grouped by their closer (the ")" that ends their
// terms), in text order: moved P's, which wait under their group's shared
// transform, then the others. A replaced copy trims, splits and moves whole
// groups; these are those operations.

#include <deque>
#include <utility>
#include <vector>

#include "rewrite/MovedGroups.h"
#include "rewrite/Pieces.h"
#include "rewrite/PolyHash.h"

namespace orvane::detail {

inline constexpr int kNoMark = -1;

// A "P", "(" or ")" of the pass; mark 0 stands for the text's start, and one
// more after the last for its end. All that the pass keeps of a mark is in
// its record, so that the pass holds one block sized to the text.
struct Mark {
  TextKey key{};           // a P's term: its own while indexed, else relative to its group;
                           // a ")": the text after the ")" before it through it
  int prev = kNoMark;      // a P's neighbours in its group's list, in text order
  int next = kNoMark;
  bool alive = true;
  bool indexed = false;
  char16_t kind = 0;
  int group = kNoMark;     // a closer's group; a P's number among the P's, its item in the index
  Pieces::Chain gap;       // the text before it, since the live mark before it
  // Its links in the live lists of the marks, "(" and ")" toward the end
  // and of "(" or ")" toward the start.
  std::uint32_t toLive = 0, toOpen = 0, toClose = 0, toBracket = 0;
};

// The links of one live list in the marks' own records: slot s is mark s's.
// One block for the marks matters beyond its size: left to its own settings,
// the C library keeps for the next calculation up to twice the largest block
// freed, and hands the rest back to be faulted in again; a pass over 32766
// marks holds about twice its block of marks.
struct MarkLinks {
  std::vector<Mark>* marks = nullptr;
  std::uint32_t Mark::*link = nullptr;
  std::uint32_t& operator[](std::size_t slot) const { return (*marks)[slot].*link; }
};

// The P's of a closer: those that came from copies' groups, then the others.
struct PGroup : MovedGroup {
  TextKey body{};     // the text after the previous closer through this one
};

using PMoves = MovedGroups<Mark, int>;
using List = PMoves::List;

class CloserGroups {
 public:
  explicit CloserGroups(std::vector<Mark>& marks) : moving(marks), marks_(marks) {}

  Mark& At(int id) { return marks_[static_cast<std::size_t>(id)]; }
  PGroup& G(int id) { return groups[static_cast<std::size_t>(id)]; }
  int& GroupOf(int mark) { return At(mark).group; }
  int NewGroup(int closer, TextKey body) {
    const int id = Take();
    G(id).body = body;
    GroupOf(closer) = id;
    return id;
  }
  // A group emptied by a copy: its place serves the next new group, so that
  // the groups alive stay about one per closer however many copies go.
  void Retire(int id) {
    G(id).gone = true;
    moving.Drop(id);
    retired_.push_back(id);
  }

  int First(const PGroup& g) const { return g.moved.count ? g.moved.first : g.indexed.count ? g.indexed.first : kNoMark; }
  int Last(const PGroup& g) const { return g.indexed.count ? g.indexed.last : g.moved.count ? g.moved.last : kNoMark; }
  // Neighbours in the group's order: the moved P's, then the indexed ones.
  int After(const PGroup& g, int m) {
    if (g.moved.count && m == g.moved.last) return g.indexed.count ? g.indexed.first : kNoMark;
    return g.indexed.count && m == g.indexed.last ? kNoMark : At(m).next;
  }
  int Before(const PGroup& g, int m) {
    if (g.indexed.count && m == g.indexed.first) return g.moved.count ? g.moved.last : kNoMark;
    return g.moved.count && m == g.moved.first ? kNoMark : At(m).prev;
  }

  // Moves the first P of one group to the back of another, or the last to the front.
  void MoveEnd(PGroup& from, PGroup& to, bool first) {
    const bool moved = first ? from.moved.count > 0 : from.indexed.count == 0;
    List& source = moved ? from.moved : from.indexed;
    List& target = moved ? to.moved : to.indexed;
    const int m = first ? moving.PopFront(source) : moving.PopBack(source);
    first ? moving.PushBack(target, m) : moving.PushFront(target, m);
    if (moved) moving.FileLength(to, m);
  }

  // Moves the P's of a group before mark `at` to a new group with the same
  // transform, walking from both ends at once so that the cost is that of the
  // smaller part.
  int SplitBefore(int id, int at) {
    const int part = Take();
    PGroup& g = G(id);
    PGroup& p = G(part);
    p.group = g.group;
    std::size_t n = 0;
    bool frontSmaller = true;
    for (int f = First(g), k = Last(g);; f = After(g, f), k = Before(g, k), ++n) {
      if (f == kNoMark || f > at) break;
      if (k == kNoMark || k < at) {
        frontSmaller = false;
        break;
      }
    }
    for (std::size_t i = 0; i < n; ++i) MoveEnd(g, p, frontSmaller);
    if (frontSmaller) return part;
    std::swap(g.moved, p.moved);  // p took the back part
    std::swap(g.indexed, p.indexed);
    std::swap(g.lengths, p.lengths);
    return part;
  }

  // Moves every P of group g to group target, whose keys change by step;
  // tail is the text after them there. Without a target they have no term.
  void Move(int gid, int tid, Transform step, TextKey tail) {
    PGroup& g = G(gid);
    if (g.moved.count + g.indexed.count == 0) return;
    if (tid == kNoMark) {
      moving.ForEach(g.indexed, [](Mark& m, int) { m.indexed = false; });
      moving.ForEach(g.moved, [&](Mark&, int m) { moving.Forget(m); });
      g.moved = g.indexed = List{};
      return;
    }
    PGroup& t = G(tid);
    if (!moving.Merge(g, t, step)) moving.AddTail(t, tid, tail);
  }

  PMoves moving;  // groups by the tail of their moved P's
  std::deque<PGroup> groups;

 private:
  std::vector<Mark>& marks_;
  int Take() {
    if (retired_.empty()) {
      groups.emplace_back();
      return static_cast<int>(groups.size() - 1);
    }
    const int id = retired_.back();
    retired_.pop_back();
    G(id) = PGroup{};
    return id;
  }
  std::vector<int> retired_;
};

}  // namespace orvane::detail
