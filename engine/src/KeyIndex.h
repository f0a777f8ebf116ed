// SPDX-License-Identifier: MIT
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane::detail {

// Items (numbered from 0) by a 64-bit key: each item in the list of its
// current key, the lists behind an open-addressed table that holds one slot
// per key in use, so that keying an item again costs neither an allocation
// nor a growing table.
class KeyIndex {
 public:
  explicit KeyIndex(std::size_t items = 0)
      : nodes_(items), slots_(std::bit_ceil(2 * items + 2)), shift_(64 - std::countr_zero(slots_.size())) {}

  // Files item under key, out of the list it was in.
  void Set(std::size_t item, std::uint64_t key) {
    Node& node = nodes_[item];
    if (node.filed && node.key == key) return;
    Remove(item);
    std::size_t at = Find(key);
    if (slots_[at].head == kEnd) slots_[at].key = key;
    node = {key, kEnd, slots_[at].head, true};
    if (node.next != kEnd) nodes_[node.next].prev = static_cast<std::uint32_t>(item);
    slots_[at].head = static_cast<std::uint32_t>(item);
  }

  void Remove(std::size_t item) {
    Node& node = nodes_[item];
    if (!node.filed) return;
    node.filed = false;
    if (node.next != kEnd) nodes_[node.next].prev = node.prev;
    if (node.prev != kEnd) {
      nodes_[node.prev].next = node.next;
    } else if (const std::size_t at = Find(node.key); (slots_[at].head = node.next) == kEnd) {
      Erase(at);
    }
  }

  // The items filed under key.
  const std::vector<std::size_t>& Under(std::uint64_t key) {
    under_.clear();
    for (std::uint32_t g = slots_[Find(key)].head; g != kEnd; g = nodes_[g].next) under_.push_back(g);
    return under_;
  }

 private:
  static constexpr std::uint32_t kEnd = ~std::uint32_t{0};  // no item; a free slot
  struct Node {
    std::uint64_t key = 0;
    std::uint32_t prev = kEnd;
    std::uint32_t next = kEnd;
    bool filed = false;
  };
  struct Slot {
    std::uint64_t key = 0;
    std::uint32_t head = kEnd;
  };

  std::size_t Home(std::uint64_t key) const {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
  }
  // The slot of key, or the free slot where it would go.
  std::size_t Find(std::uint64_t key) const {
    std::size_t at = Home(key);
    while (slots_[at].head != kEnd && slots_[at].key != key) at = (at + 1) & (slots_.size() - 1);
    return at;
  }
  // Frees a slot, moving back the keys that probed past it.
  void Erase(std::size_t hole) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t j = (hole + 1) & mask; slots_[j].head != kEnd; j = (j + 1) & mask) {
      if (((j - Home(slots_[j].key)) & mask) >= ((j - hole) & mask)) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole].head = kEnd;
  }

  std::vector<Node> nodes_;
  std::vector<Slot> slots_;
  std::vector<std::size_t> under_;
  int shift_;  // Fibonacci hashing: the top bits of key times 2^64 / phi
};

}  // namespace orvane::detail
