// SPDX-License-Identifier: MIT
#pragma once

// Groups of moved items, shared by the term passes that index items by the
// length and hash of the text from them to the end of their term. When such a
// text loses its end to a copy's value, all its items gain the same new end,
// so they are not keyed again one by one: they wait in a group whose keys
// follow from one shared transform, and are found through the text after them
// (the tail, which starts with a value). An item has a key, an indexed flag
// and prev/next links; its id is its place in a vector. The moved items by
// their length and the groups by their tails are filed in two indexes shared
// by all the groups, so that a group costs no allocation of its own.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "rewrite/KeyIndex.h"
#include "rewrite/PolyHash.h"
#include "rewrite/TextOps.h"

namespace orvane::detail {

// h -> h * base^shift + add, length -> length + shift.
struct Transform {
  long long shift = 0;
  std::uint64_t add = 0;
};

inline std::uint64_t BasePower(long long e) {
  return e >= 0 ? PolyHash::Pow(static_cast<std::size_t>(e)) : PolyHash::InvPow(static_cast<std::size_t>(-e));
}

// One transform for many keys, its power of the base found once.
struct Rekey {
  explicit Rekey(Transform t) : shift(t.shift), add(t.add), power(BasePower(t.shift)) {}
  TextKey operator()(TextKey k) const { return {k.length + shift, PolyHash::Add(PolyHash::Mul(k.hash, power), add)}; }
  long long shift;
  std::uint64_t add;
  std::uint64_t power;
};

// From keys relative to x to keys relative to t: x, then t undone.
inline Transform Between(Transform x, Transform t) {
  return {x.shift - t.shift, PolyHash::Mul(PolyHash::Sub(x.add, t.add), BasePower(-t.shift))};
}
// t, then step.
inline Transform Then(Transform t, Transform step) {
  return {t.shift + step.shift, PolyHash::Add(PolyHash::Mul(t.add, BasePower(step.shift)), step.add)};
}
// The transform that turns a text ending with from into the same text ending with to.
inline Transform Replacing(TextKey from, TextKey to) {
  const long long shift = to.length - from.length;
  return {shift, PolyHash::Sub(to.hash, PolyHash::Mul(from.hash, BasePower(shift)))};
}

struct MovedList {
  int first = -1;  // item ids
  int last = -1;
  std::uint32_t count = 0;  // a text's items stay far below 2^32
};

// Kept small (the wide members first): a text of closers has one for each.
struct MovedGroup {
  Transform group;
  TextKey tail{};      // the text after the moved items, while there are any
  MovedList moved;  // items that came with a copy's rest, before all the others
  MovedList indexed;  // the others, after the moved ones
  std::uint32_t lengths = 0;  // names the moved items' lengths in the shared index; 0 while not filed
  std::uint32_t visits = 0;  // terms that asked the moved items since they came
  bool gone = false;
};

// The list and merge operations over the items of one vector, and the groups
// by their tails. GroupId names a group to the pass that owns them.
template <typename Item, typename GroupId>
class MovedGroups {
 public:
  using Id = int;
  using List = MovedList;
  using Group = MovedGroup;
  static constexpr Id kNone = -1;

  explicit MovedGroups(std::vector<Item>& items) : items_(items) {}

  // Room for the items of the vector, and group ids below `groups`, taken
  // at once when the first of each is filed.
  void Expect(std::size_t groups) {
    byLength_ = KeyIndex(items_.size());
    byTail_ = KeyIndex(groups);
  }

  Item& At(Id id) { return items_[static_cast<std::size_t>(id)]; }
  static TextKey Own(const Item& item, const Group& g) { return Rekey(g.group)(item.key); }

  // left + right; both lists are left empty.
  List Concat(List& left, List& right) {
    if (left.count == 0) return std::exchange(right, List{});
    if (right.count == 0) return std::exchange(left, List{});
    At(left.last).next = right.first;
    At(right.first).prev = left.last;
    const List out{left.first, right.last, left.count + right.count};
    left = right = List{};
    return out;
  }
  void PushBack(List& list, Id id) {
    List one = Single(id);
    list = Concat(list, one);
  }
  void PushFront(List& list, Id id) {
    List one = Single(id);
    list = Concat(one, list);
  }
  Id PopBack(List& list) {
    const Id id = list.last;
    list.last = At(id).prev;
    if (--list.count == 0) list = List{};
    return id;
  }
  Id PopFront(List& list) {
    const Id id = list.first;
    list.first = At(id).next;
    if (--list.count == 0) list = List{};
    return id;
  }

  template <typename F>
  void ForEach(List list, F f) {
    for (Id id = list.first; id != kNone; id = id == list.last ? kNone : At(id).next) f(At(id), id);
  }

  // Gives the moved items of g their own keys; file(item, id) indexes each.
  template <typename F>
  void Settle(Group& g, F file) {
    if (g.moved.count == 0) return;
    const Rekey own(g.group);
    ForEach(g.moved, [&](Item& item, Id id) {
      item.key = own(item.key);
      item.indexed = true;
      Forget(id);
      file(item, id);
    });
    g.indexed = Concat(g.moved, g.indexed);
    g.group = Transform{};
    g.visits = 0;
  }

  // Files a moved item of g under its length in g, once g's are filed: only
  // a large group is asked for an item by length, so only a large group
  // asked once files its items; each is filed again only when its group
  // joins a larger one that was not asked, which at least doubles it.
  void FileLength(Group& g, Id id) {
    if (g.lengths == 0) return Forget(id);
    byLength_.Set(static_cast<std::size_t>(id), LengthKey(g, At(id).key.length));
  }
  void Forget(Id id) { byLength_.Remove(static_cast<std::size_t>(id)); }
  // An item that leaves the text.
  void Lose(Id id, bool moved) {
    if (moved) Forget(id);
    At(id).alive = false;
  }

  // Moves every item of g before the moved items of t, their keys changed by
  // step. The larger group keeps its transform; the items of the other are
  // converted. Returns whether t had moved items before.
  bool Merge(Group& g, Group& t, Transform step) {
    g.group = Then(g.group, step);
    const bool hadMoved = t.moved.count > 0;
    const bool keepT = hadMoved && t.moved.count >= g.moved.count;
    const Transform target = keepT ? t.group : g.group;
    if (keepT) {
      Convert(g.moved, g.group, target, t);
    } else {
      Convert(t.moved, t.group, target, g);
      std::swap(t.lengths, g.lengths);
    }
    Convert(g.indexed, step, target, t);
    List rest = Concat(g.moved, g.indexed);
    t.moved = Concat(rest, t.moved);
    t.group = target;
    return hadMoved;
  }

  // Files group id under the tail of its moved items.
  void AddTail(Group& g, GroupId id, TextKey tail) {
    g.tail = tail;
    g.visits = 0;
    byTail_.Set(static_cast<std::size_t>(id), Filed(tail));
  }

  // Takes a group out of the groups by their tails.
  void Drop(GroupId id) { byTail_.Remove(static_cast<std::size_t>(id)); }

  // The groups whose tail ends the term with text before it: small ones are
  // settled by settle(id), large ones give found(id, item) for the item whose
  // key is the term's, if there is one. group(id) is the group of an id.
  // A large group asked by more terms than it has moved items is settled
  // too: settling costs no more than those terms did, so many large groups
  // behind one tail cost each term once, not once per group.
  template <typename G, typename S, typename F>
  void FindMoved(TextView term, TextKey key, G group, S settle, F found) {
    if (byTail_.Empty()) return;
    std::uint64_t h = 0;
    const Powers& powers = PowerTable();
    for (std::size_t length = 1; length < term.size(); ++length) {
      const char16_t c = term[term.size() - length];
      h = PolyHash::Add(PolyHash::Mul(c + 1u, powers.Of(length - 1)), h);
      if (!IsDigit(c) && c != u'-') continue;  // a tail starts with a value
      const TextKey tail{static_cast<long long>(length), h};
      byTail_.ForEach(Filed(tail), [&](std::size_t filed) {
        const auto id = static_cast<GroupId>(filed);
        Group& g = group(id);
        if (!(g.tail == tail)) return true;  // another tail filed alike
        if (g.gone || g.moved.count == 0) {
          byTail_.Remove(filed);
        } else if (g.moved.count <= kSmallGroup || ++g.visits > g.moved.count) {
          settle(id);
          byTail_.Remove(filed);
        } else {
          const Id item = FindLength(g, key.length - g.group.shift);
          if (item != kNone && Own(At(item), g) == key) found(id, item);
        }
        return true;
      });
    }
  }

 private:
  // Rekeys the items of a list from relative to `from` to relative to `to`,
  // and files them by their new length in g, as moved items, none indexed.
  void Convert(List list, Transform from, Transform to, Group& g) {
    if (list.count == 0) return;
    const Rekey rekey(Between(from, to));
    ForEach(list, [&](Item& item, Id id) {
      item.key = rekey(item.key);
      item.indexed = false;
      FileLength(g, id);
    });
  }
  // The moved item of g whose length in g is the given one, or kNone. Those
  // of one group end alike, so their lengths differ.
  Id FindLength(Group& g, long long length) {
    if (g.lengths == 0) {
      g.lengths = ++lastLengths_;
      ForEach(g.moved, [&](Item&, Id id) { FileLength(g, id); });
    }
    Id found = kNone;
    byLength_.ForEach(LengthKey(g, length), [&](std::size_t id) {
      found = static_cast<Id>(id);
      return false;
    });
    return found;
  }
  static std::uint64_t LengthKey(const Group& g, long long length) {
    return (std::uint64_t{g.lengths} << 32) | static_cast<std::uint32_t>(length);
  }
  List Single(Id id) {
    At(id).prev = At(id).next = kNone;
    return {id, id, 1};
  }

  // Groups up to this size are indexed item by item once a term ends with their tail.
  static constexpr std::size_t kSmallGroup = 64;

  std::vector<Item>& items_;
  KeyIndex byLength_;  // moved items under their group's name and their length in it
  KeyIndex byTail_;    // groups with moved items by their tail
  std::uint32_t lastLengths_ = 0;
};

// Takes items off the back of group g while goes(id, moved) holds: the
// indexed ones first, as they stand after the moved ones. They leave the text.
template <typename Moves, typename F>
void TrimBack(Moves& moves, typename Moves::Group& g, F goes) {
  while (g.indexed.count && goes(g.indexed.last, false)) moves.Lose(moves.PopBack(g.indexed), false);
  while (!g.indexed.count && g.moved.count && goes(g.moved.last, true)) moves.Lose(moves.PopBack(g.moved), true);
}
// Takes items off the front of group g while goes(id, moved) holds.
template <typename Moves, typename F>
void TrimFront(Moves& moves, typename Moves::Group& g, F goes) {
  while (g.moved.count && goes(g.moved.first, true)) moves.Lose(moves.PopFront(g.moved), true);
  while (!g.moved.count && g.indexed.count && goes(g.indexed.first, false)) moves.Lose(moves.PopFront(g.indexed), false);
}

}  // namespace orvane::detail
