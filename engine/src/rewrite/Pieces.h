// SPDX-License-Identifier: MIT
#pragma once

// Texts held as chains of views into texts that outlive them, all chains of
// one pass in one pool, so that joining two texts costs nothing and cutting
// the end off one costs no more than the pieces cut. Pieces cut off serve
// the next ones appended, so that the pool holds about the pieces alive.

#include <cstdint>
#include <utility>
#include <vector>

#include "orvane/Text.h"
#include "rewrite/LiveLinks.h"

namespace orvane::detail {

class Pieces {
 public:
  struct Chain {
    int head = -1;
    int tail = -1;
    std::uint32_t size = 0;  // a working text stays far below 2^32 characters
  };

  void Append(Chain& c, TextView text) {
    if (text.empty()) return;
    int id = free_;
    if (id < 0) {
      id = static_cast<int>(nodes_.size());
      nodes_.emplace_back();
    } else {
      free_ = Node(id).next;
    }
    Node(id) = {text, c.tail, -1};
    (c.tail < 0 ? c.head : nodes_[static_cast<std::size_t>(c.tail)].next) = id;
    c.tail = id;
    c.size += static_cast<std::uint32_t>(text.size());
  }

  // right becomes left + right; left becomes empty.
  void Prepend(Chain& right, Chain& left) {
    if (left.head < 0) return;
    if (right.head < 0) {
      right = left;
    } else {
      Node(left.tail).next = right.head;
      Node(right.head).prev = left.tail;
      right.head = left.head;
      right.size += left.size;
    }
    left = Chain{};
  }

  // The last n characters.
  Text Back(Chain c, std::size_t n) const {
    Text out(n, u'\0');
    std::size_t at = n;
    for (int id = c.tail; at > 0; id = nodes_[static_cast<std::size_t>(id)].prev) {
      const TextView piece = nodes_[static_cast<std::size_t>(id)].text;
      const std::size_t take = piece.size() < at ? piece.size() : at;
      at -= take;
      out.replace(at, take, piece.substr(piece.size() - take));
    }
    return out;
  }

  // Removes the last n characters.
  void CutBack(Chain& c, std::size_t n) {
    c.size -= static_cast<std::uint32_t>(n);
    while (n > 0) {
      TextView& last = Node(c.tail).text;
      if (last.size() > n) {
        last.remove_suffix(n);
        return;
      }
      n -= last.size();
      const int cut = c.tail;
      c.tail = Node(cut).prev;
      Node(cut).next = std::exchange(free_, cut);
      (c.tail < 0 ? c.head : Node(c.tail).next) = -1;
    }
  }

  void AppendTo(Chain c, Text& out) const {
    for (int id = c.head; id >= 0; id = nodes_[static_cast<std::size_t>(id)].next)
      out.append(nodes_[static_cast<std::size_t>(id)].text);
  }

 private:
  struct Piece {
    TextView text;
    int prev;
    int next;
  };
  Piece& Node(int id) { return nodes_[static_cast<std::size_t>(id)]; }

  std::vector<Piece> nodes_;
  int free_ = -1;  // the pieces cut off, linked by next
};

// The text of the blocks still in it, each block with its text.
template <typename Block>
Text ReadLive(const std::vector<Block>& blocks, LiveLinks<std::size_t>& live, const Pieces& pieces) {
  live.CheckInvariants();
  Text out;
  for (std::size_t i = live.From(0); i != live.kNone; i = live.From(i + 1)) pieces.AppendTo(blocks[i].text, out);
  return out;
}

}  // namespace orvane::detail
