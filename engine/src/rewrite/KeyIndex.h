// SPDX-License-Identifier: MIT
#pragma once

// The one index that every pass shares: items filed by the 64-bit key of
// their current text, each key's items in a list in ascending order.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "rewrite/Invariants.h"

namespace orvane::detail {

// What a lookup makes of an item filed under its key: a copy, an item that
// went stale or is gone, or another text filed alike by chance.
enum class Found { kCopy, kGone, kOther };
inline Found Judged(bool live, bool copy) { return !live ? Found::kGone : copy ? Found::kCopy : Found::kOther; }

// Items (numbered from 0) by a 64-bit key: each item in the list of its
// current key, the lists behind an open-addressed table that holds one slot
// per key in use. The table doubles as keys come into use, so that many
// items under few keys take little room; keying an item again costs no
// allocation. A slot holds its list's ends, the item filed last and the top
// half of its key's Fibonacci product: the bits that place the key in every
// table size, so that probing, growing and erasing read slots alone and reach
// an item only to confirm a key. A probe that read an item for every slot it
// passed missed the second-level cache at each step once a long text filled
// the table; four bytes more a slot cost less.
// The items take their room when the first is filed, so that an index that
// stays unused costs little: many texts never file one.
class KeyIndex {
 public:
  // Room for items numbered below `items`; keys: how many keys are expected
  // in use at once, which saves growing.
  explicit KeyIndex(std::size_t items = 0, std::size_t keys = 0)
      : slots_(std::max(kFirstSlots, std::bit_ceil(2 * keys))),
        room_(items),
        shift_(64 - std::countr_zero(slots_.size())) {}

  // Files item under key, out of the list it was in. Each list runs in
  // ascending order.
  void Set(std::size_t item, std::uint64_t key) {
    if (item >= nodes_.size()) nodes_.resize(std::max(item + 1, room_));
    Node& node = nodes_[item];
    if (Filed(node) && node.key == key) return;
    Remove(item);
    const auto id = static_cast<std::uint32_t>(item);
    std::size_t at = Find(key);
    if (slots_[at].head == kEnd && 2 * (used_ + 1) > slots_.size()) {
      Grow();
      at = Find(key);
    }
    Slot& slot = slots_[at];
    if (slot.head == kEnd) {  // the item starts the key's list
      ++used_;
      slot.tag = Tag(key);
    }
    const std::uint32_t before = Before(slot, id, key);
    node = {key, before, before == kEnd ? slot.head : nodes_[before].next};
    (node.prev == kEnd ? slot.head : nodes_[node.prev].next) = id;
    (node.next == kEnd ? slot.tail : nodes_[node.next].prev) = id;
    slot.last = id;
    if constexpr (kCheckInvariants)
      Expect((node.prev == kEnd || node.prev < id) && (node.next == kEnd || node.next > id),
             "KeyIndex: an item filed out of ascending order");
  }

  void Remove(std::size_t item) {
    if (item >= nodes_.size()) return;
    Node& node = nodes_[item];
    if (!Filed(node)) return;
    if (node.prev == kEnd || node.next == kEnd) {
      const std::size_t at = Find(node.key);
      if (node.prev == kEnd) slots_[at].head = node.next;
      if (node.next == kEnd) slots_[at].tail = node.prev;
      if (slots_[at].head == kEnd) Erase(at);
    }
    if (node.prev != kEnd) nodes_[node.prev].next = node.next;
    if (node.next != kEnd) nodes_[node.next].prev = node.prev;
    node.next = kOut;
  }

  bool Empty() const { return used_ == 0; }

  // Every list ascends, links both ways, holds items of its slot's key alone
  // and ends where its slot says; every slot is found from its key's home.
  void CheckInvariants() const {
    if constexpr (!kCheckInvariants) return;
    std::size_t used = 0, listed = 0;
    for (std::size_t at = 0; at < slots_.size(); ++at) {
      const Slot& slot = slots_[at];
      if (slot.head == kEnd) continue;
      ++used;
      Expect(slot.tag == Tag(KeyOf(slot)) && Find(KeyOf(slot)) == at, "KeyIndex: a slot not found from its key's home");
      std::uint32_t prev = kEnd;
      for (std::uint32_t item = slot.head; item != kEnd; prev = item, item = nodes_[item].next, ++listed) {
        Expect(nodes_[item].key == KeyOf(slot) && nodes_[item].prev == prev, "KeyIndex: a list's links or key");
        Expect(prev == kEnd || prev < item, "KeyIndex: a list out of ascending order");
      }
      Expect(slot.tail == prev, "KeyIndex: a slot's tail is not its list's end");
    }
    Expect(used == used_, "KeyIndex: the count of slots in use");
    Expect(listed == static_cast<std::size_t>(std::count_if(nodes_.begin(), nodes_.end(), Filed)),
           "KeyIndex: an item filed but in no list");
  }

  // The one loop of every pass that collects a text's copies: walks the items
  // filed under key in ascending order up to last, takes out the copies,
  // giving each to take(item), and the items that are gone, by what
  // judge(item) finds; the others stay.
  template <typename Judge, typename Take>
  void TakeOut(std::uint64_t key, Judge judge, Take take, std::size_t last = SIZE_MAX) {
    ForEach(key, [&](std::size_t item) {
      if (item > last) return false;
      const Found found = judge(item);
      if (found != Found::kOther) Remove(item);
      if (found == Found::kCopy) take(item);
      return true;
    });
  }

  // Calls f on the items filed under key, in ascending order, while it
  // returns true; f may remove the item it is given, and no other.
  template <typename F>
  void ForEach(std::uint64_t key, F f) {
    for (std::uint32_t item = slots_[Find(key)].head; item != kEnd;) {
      const std::uint32_t next = nodes_[item].next;
      if (!f(item)) return;
      item = next;
    }
  }

 private:
  static constexpr std::uint32_t kEnd = ~std::uint32_t{0};  // no item; a free slot
  static constexpr std::uint32_t kOut = kEnd - 1;  // the next of an item in no list
  struct Node {
    std::uint64_t key = 0;
    std::uint32_t prev = kEnd;
    std::uint32_t next = kOut;
  };
  static bool Filed(Node node) { return node.next != kOut; }
  struct Slot {
    std::uint32_t head = kEnd;
    std::uint32_t tail = kEnd;
    std::uint32_t last = kEnd;  // the item filed last, a hint that may be stale
    std::uint32_t tag = 0;      // Tag of its key
  };
  static_assert(sizeof(Slot) == 16, "four slots to a cache line");

  // The item after which id goes in slot's list, or kEnd for its front. It is
  // sought from the item filed last and from the nearer end at once, so that
  // items that come in runs, in either order, cost little.
  std::uint32_t Before(Slot slot, std::uint32_t id, std::uint64_t key) const {
    if (slot.head > id) return kEnd;  // also when the list is empty
    if (slot.tail < id) return slot.tail;
    std::uint32_t near = slot.last;
    if (near == kEnd || !Filed(nodes_[near]) || nodes_[near].key != key) near = slot.tail;
    if (near < id) {  // between near and the tail
      for (std::uint32_t up = near, down = slot.tail;; up = nodes_[up].next, down = nodes_[down].prev) {
        if (nodes_[up].next > id) return up;
        if (down < id) return down;
      }
    }
    for (std::uint32_t down = near, up = slot.head;; down = nodes_[down].prev, up = nodes_[up].next) {
      if (nodes_[down].prev < id || nodes_[down].prev == kEnd) return nodes_[down].prev;
      if (nodes_[up].next > id) return up;
    }
  }

  // Fibonacci hashing: the top bits of key times 2^64 / phi. The top 32 of
  // them are the tag; a table of 2^k slots takes its home from the tag's top
  // k bits, so that a table stays within 2^32 slots, as items do.
  static std::uint32_t Tag(std::uint64_t key) { return static_cast<std::uint32_t>((key * 0x9E3779B97F4A7C15ull) >> 32); }
  std::size_t Home(std::uint32_t tag) const { return tag >> (shift_ - 32); }
  std::uint64_t KeyOf(Slot slot) const { return nodes_[slot.head].key; }
  // The slot of key, or the free slot where it would go.
  std::size_t Find(std::uint64_t key) const {
    const std::uint32_t tag = Tag(key);
    std::size_t at = Home(tag);
    while (slots_[at].head != kEnd && (slots_[at].tag != tag || KeyOf(slots_[at]) != key)) at = Next(at);
    return at;
  }
  std::size_t Next(std::size_t at) const { return (at + 1) & (slots_.size() - 1); }
  // Twice the slots, the keys filed again by their new homes; the lists stay.
  void Grow() {
    const std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(2 * slots_.size()));
    shift_ -= 1;
    for (const Slot& slot : old) {
      if (slot.head == kEnd) continue;
      std::size_t at = Home(slot.tag);
      while (slots_[at].head != kEnd) at = Next(at);
      slots_[at] = slot;
    }
  }
  // Frees a slot, moving back the keys that probed past it.
  void Erase(std::size_t hole) {
    --used_;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t j = Next(hole); slots_[j].head != kEnd; j = Next(j)) {
      if (((j - Home(slots_[j].tag)) & mask) >= ((j - hole) & mask)) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole].head = kEnd;
  }

  static constexpr std::size_t kFirstSlots = 8;
  std::vector<Node> nodes_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;  // slots that hold a key
  std::size_t room_ = 0;  // the items to take room for at the first one
  int shift_;  // 64 less the log of the slots: a home is a product's top bits
};

}  // namespace orvane::detail
