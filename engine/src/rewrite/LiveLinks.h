// SPDX-License-Identifier: MIT
#pragma once

// The one live list that every term pass shares. A pass cuts its text into
// items (the letter pass's stretches, the "!" pass's pieces, the P pass's
// marks), and replacing copies removes items for good.
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
#include <type_traits>
#include <utility>
#include <vector>

#include "rewrite/Invariants.h"

namespace orvane::detail {

enum class Toward { kEnd, kStart };

// Items 0 to n-1, numbered in Id; kNone, Id(-1), is "no item". The links are
// n + 1 slots of Links: a vector of the list's own, or a view of links kept
// in a pass's own records. Toward the end item i has slot i and slot n stands
// for the end; toward the start item i has slot i + 1 and slot 0 stands for
// the start. The slot that stands for the end (or the start) stays live.
template <typename Id, typename Links = std::vector<std::uint32_t>>
class LiveLinks {
 public:
  static constexpr Id kNone = static_cast<Id>(-1);

  LiveLinks() = default;
  // Items for which isLive(i) is false start removed. A vector of links is
  // sized here; a view must hold n + 1 slots already.
  template <typename IsLive>
  LiveLinks(std::size_t n, Toward toward, IsLive isLive, Links links = Links())
      : link_(std::move(links)), offset_(toward == Toward::kEnd ? 0 : 1),
        end_(toward == Toward::kEnd ? n : 0), items_(n) {
    if constexpr (requires { link_.resize(n); }) link_.resize(n + 1);
    std::size_t nearest = end_;
    for (std::size_t step = 0; step <= n; ++step) {
      const std::size_t slot = toward == Toward::kEnd ? n - step : step;
      if (slot != end_ && isLive(static_cast<Id>(slot - offset_))) nearest = slot;
      link_[slot] = static_cast<Link>(nearest);
    }
  }
  explicit LiveLinks(std::size_t n, Toward toward = Toward::kEnd) : LiveLinks(n, toward, [](Id) { return true; }) {}

  // The nearest live item from i on toward the end (or the start), i itself
  // included, or kNone. Toward the start, kNone as i stands for the start.
  Id From(Id i) {
    std::size_t slot = i == kNone ? 0 : static_cast<std::size_t>(i) + offset_;
    while (link_[slot] != slot) {
      Link& link = link_[slot];
      if constexpr (kCheckInvariants) Expect(Ahead(link, slot), "LiveLinks: a link back toward its walk's start");
      link = link_[link];
      slot = link;
    }
    return slot == end_ ? kNone : static_cast<Id>(slot - offset_);
  }
  // Removes item i, live or not.
  void Remove(Id i) {
    const std::size_t slot = static_cast<std::size_t>(i) + offset_;
    if constexpr (kCheckInvariants) Expect(slot != end_, "LiveLinks: the end removed");
    link_[slot] = static_cast<Link>(offset_ == 0 ? slot + 1 : slot - 1);  // one on, toward the end or the start
  }

  // The end stays live, and every link leads on in the walk's direction, no
  // farther than the nearest live slot: a walk never passes its answer, and a
  // removed item, which links beyond itself, stays removed.
  void CheckInvariants() const {
    if constexpr (!kCheckInvariants) return;
    Expect(link_[end_] == end_, "LiveLinks: the end is not live");
    std::size_t live = end_;
    for (std::size_t step = 0; step <= items_; ++step) {
      const std::size_t slot = offset_ == 0 ? items_ - step : step;
      if (link_[slot] == slot) live = slot;
      Expect(link_[slot] == slot || (Ahead(link_[slot], slot) && !Ahead(link_[slot], live)),
             "LiveLinks: a link past the nearest live item");
    }
  }

 private:
  using Link = std::remove_reference_t<decltype(std::declval<Links&>()[0])>;
  // Whether slot a lies beyond slot b in the walk's direction.
  bool Ahead(std::size_t a, std::size_t b) const { return offset_ == 0 ? a > b : a < b; }
  static_assert(std::is_unsigned_v<Link>);
  Links link_;
  std::size_t offset_ = 0;  // the slot of item 0: 0 toward the end, 1 toward the start
  std::size_t end_ = 0;     // the slot that stands for the end (or the start)
  std::size_t items_ = 0;
};

}  // namespace orvane::detail
