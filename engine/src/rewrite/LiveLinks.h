// SPDX-License-Identifier: MIT
#pragma once

// The one live list that every pass shares. A pass cuts its text into items
// (the letter pass's stretches, the "!" pass's pieces, the P pass's marks,
// the group passes' positions), and replacing copies removes items for good.
// Every pass then asks for the nearest item still in the text from some item
// on, in one direction.
//
// Each item links to one item nearer that answer: a live item to itself, a
// removed one to an item beyond it on the way. A walk makes every link it
// passes skip one more item (path halving), so that a long run of removed
// items costs one long walk and then short ones: the find of union-find, over
// sets that only ever join the next one in the direction of the walk.
// Invariant: the walk from an item never passes its answer.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane::detail {

enum class Toward { kEnd, kStart };

// Items 0 to n-1, numbered in Id; kNone, Id(-1), is "no item". A Link must
// hold n + 1.
template <typename Id, typename Link = std::uint32_t>
class LiveLinks {
 public:
  static constexpr Id kNone = static_cast<Id>(-1);

  LiveLinks() = default;
  // Items for which isLive(i) is false start removed.
  template <typename IsLive>
  LiveLinks(std::size_t n, Toward toward, IsLive isLive) : toward_(toward), link_(n + 2) {
    // Slot i + 1 is item i, slots 0 and n + 1 the places before and after
    // them all; the one that the walks go toward stays live.
    const std::size_t endSlot = toward == Toward::kEnd ? n + 1 : 0;
    auto nearest = static_cast<Link>(endSlot);
    for (std::size_t step = 0; step < n + 2; ++step) {
      const std::size_t slot = toward == Toward::kEnd ? n + 1 - step : step;
      if (slot == endSlot || (slot != n + 1 - endSlot && isLive(static_cast<Id>(slot - 1))))
        nearest = static_cast<Link>(slot);
      link_[slot] = nearest;
    }
  }
  explicit LiveLinks(std::size_t n, Toward toward = Toward::kEnd)
      : LiveLinks(n, toward, [](Id) { return true; }) {}

  // The nearest live item from i on toward the end (or the start), i itself
  // included, or kNone. kNone as i stands for the place before item 0.
  Id From(Id i) {
    std::size_t slot = i == kNone ? 0 : static_cast<std::size_t>(i) + 1;
    while (link_[slot] != slot) {
      Link& link = link_[slot];
      link = link_[link];
      slot = link;
    }
    return slot == 0 || slot == link_.size() - 1 ? kNone : static_cast<Id>(slot - 1);
  }
  bool IsLive(Id i) const { return link_[static_cast<std::size_t>(i) + 1] == static_cast<std::size_t>(i) + 1; }
  // Removes item i, live or not.
  void Remove(Id i) {
    const std::size_t slot = static_cast<std::size_t>(i) + 1;
    link_[slot] = static_cast<Link>(toward_ == Toward::kEnd ? slot + 1 : slot - 1);
  }

 private:
  Toward toward_ = Toward::kEnd;
  std::vector<Link> link_;  // per slot
};

}  // namespace orvane::detail
