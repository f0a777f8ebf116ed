// SPDX-License-Identifier: MIT
#pragma once

// P's by the key of their term: an open-addressing table of keys, each with
// the chain of P's filed under it. A P whose key changes is filed again under
// the new one; its old entry stays until that key is taken, so readers check
// what they get.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rewrite/MovedGroups.h"

namespace orvane::detail {

class TermIndex {
 public:
  void Reserve(std::size_t keys) {
    std::size_t capacity = 16;
    while (capacity < 2 * keys) capacity *= 2;
    if (capacity > slots_.size()) Rehash(capacity);
    nodes_.reserve(keys);
  }

  void Add(const TextKey& key, int id) {
    if (2 * (filled_ + 1) > slots_.size()) Rehash(slots_.empty() ? 16 : 2 * slots_.size());
    const std::size_t at = Find(key);
    Slot& s = slots_[at];
    if (s.head == kEmpty) ++filled_;
    if (s.head < 0) s.tag = Tag(key);
    nodes_.push_back({key, id, s.head < 0 ? -1 : s.head});
    s.head = static_cast<int>(nodes_.size() - 1);
  }

  // Calls f for every id filed under key, then empties its chain.
  template <typename F>
  void Take(const TextKey& key, F f) {
    if (slots_.empty()) return;
    Slot& s = slots_[Find(key)];
    if (s.head < 0) return;
    for (int n = s.head; n >= 0; n = nodes_[static_cast<std::size_t>(n)].next) f(nodes_[static_cast<std::size_t>(n)].id);
    s.head = kTaken;
  }

 private:
  // A slot holds the newest node of its key's chain; a taken one keeps its
  // place so that the keys probed past it stay found.
  static constexpr int kEmpty = -1;
  static constexpr int kTaken = -2;
  struct Slot {
    std::uint32_t tag = 0;
    int head = kEmpty;
  };
  struct Node {
    TextKey key;
    int id;
    int next;
  };

  static std::uint32_t Tag(const TextKey& key) { return static_cast<std::uint32_t>(Filed(key) >> 32); }

  // The slot of key's chain, or the empty slot where it would go.
  std::size_t Find(const TextKey& key) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = Tag(key);
    for (std::size_t i = Filed(key) & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.head == kEmpty) return i;
      if (s.head >= 0 && s.tag == tag && nodes_[static_cast<std::size_t>(s.head)].key == key) return i;
    }
  }

  void Rehash(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(slots_);
    filled_ = 0;
    for (const Slot& s : old) {
      if (s.head < 0) continue;
      slots_[Find(nodes_[static_cast<std::size_t>(s.head)].key)] = s;
      ++filled_;
    }
  }

  std::vector<Slot> slots_;
  std::vector<Node> nodes_;
  std::size_t filled_ = 0;  // slots not empty
};

}  // namespace orvane::detail
