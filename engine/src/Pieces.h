// SPDX-License-Identifier: MIT
#pragma once

// A text held as a list of views into texts that outlive it, so that joining
// two texts and cutting the end off one cost no more than the pieces moved.

#include <deque>

#include "orvane/Text.h"

namespace orvane::detail {

class Pieces {
 public:
  Pieces() = default;
  explicit Pieces(TextView text) { Append(text); }

  std::size_t size() const { return size_; }

  void Append(TextView text) {
    if (text.empty()) return;
    list_.push_back(text);
    size_ += text.size();
  }

  // Puts left in front of this text; the shorter list of pieces moves.
  void Prepend(Pieces&& left) {
    if (left.list_.size() <= list_.size()) {
      for (auto it = left.list_.rbegin(); it != left.list_.rend(); ++it) list_.push_front(*it);
    } else {
      for (const TextView piece : list_) left.list_.push_back(piece);
      list_.swap(left.list_);
    }
    size_ += left.size_;
    left.list_.clear();
    left.size_ = 0;
  }

  // Removes the last n characters and returns them.
  Text CutBack(std::size_t n) {
    Text out(n, u'\0');
    std::size_t at = n;
    size_ -= n;
    while (at > 0) {
      TextView& last = list_.back();
      const std::size_t take = last.size() < at ? last.size() : at;
      at -= take;
      out.replace(at, take, last.substr(last.size() - take));
      if (take == last.size()) {
        list_.pop_back();
      } else {
        last.remove_suffix(take);
      }
    }
    return out;
  }

  // The last n characters.
  Text Back(std::size_t n) const {
    Text out(n, u'\0');
    std::size_t at = n;
    for (auto it = list_.rbegin(); at > 0; ++it) {
      const std::size_t take = it->size() < at ? it->size() : at;
      at -= take;
      out.replace(at, take, it->substr(it->size() - take));
    }
    return out;
  }

  void AppendTo(Text& out) const {
    for (const TextView piece : list_) out.append(piece);
  }

 private:
  std::deque<TextView> list_;
  std::size_t size_ = 0;
};

}  // namespace orvane::detail
