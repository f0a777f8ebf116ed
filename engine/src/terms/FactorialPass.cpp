// SPDX-License-Identifier: MIT
// The "!" pass over the pieces of the working text between one "!" and the
// next. A term is the run of digits that ends a piece, and its "!"; its copies
// are the "!"s whose whole run of digits is the same, so every "!" is indexed
// by its run's length and hash. Replacing a copy removes its "!": what is left
// of the piece, and the value, join the next piece, and when that piece is all
// digits its run grows by the value's last digits (as "3!4!" gives "64!").

#include <algorithm>
#include <vector>

#include "rewrite/KeyIndex.h"
#include "rewrite/Pieces.h"
#include "rewrite/PolyHash.h"
#include "terms/TermPasses.h"
#include "rewrite/TextOps.h"

namespace orvane::detail {

namespace {

// What a "!" sees of the text before it.
struct DigitRun {
  bool allDigits = true;  // the whole piece
  std::size_t digits = 0;  // the run of digits that ends the piece
  std::uint64_t hash = 0;  // of those digits
};

// A "!" with the piece of text before it; the last one stands for the end of the text.
struct Bang {
  Pieces::Chain text;
  DigitRun run;
};

class FactorialPass {
 public:
  explicit FactorialPass(TextView w) : values_(u'!') { Split(w); }

  Text Run() {
    const std::size_t end = bangs_.size() - 1;
    for (std::size_t front = 0; front != end; front = live_.From(front)) {
      const Bang& b = bangs_[front];
      // Everything before the first "!" left is its piece.
      const long long bang = static_cast<long long>(b.text.size) + 1;
      const Term term = FactorialTerm(pieces_.Back(b.text, b.run.digits) + u"!", bang);
      ReplaceCopies(KeyOf(b.run), values_(term));
    }
    index_.CheckInvariants();
    return ReadLive(bangs_, live_, pieces_);
  }

 private:
  static DigitRun RunOf(TextView text) {
    std::size_t start = text.size();
    while (start > 0 && IsDigit(text[start - 1])) --start;
    return {start == 0, text.size() - start, PolyHash::Of(text.substr(start))};
  }

  // The run of left + right, where right is a piece of rightLength characters.
  static DigitRun Joined(const DigitRun& left, const DigitRun& right, std::size_t rightLength) {
    if (!right.allDigits) return right;
    return {left.allDigits, left.digits + rightLength, PolyHash::Join(left.hash, right.hash, rightLength)};
  }

  static TextKey KeyOf(const DigitRun& r) { return {static_cast<long long>(r.digits), r.hash}; }

  void Split(TextView w) {
    const std::size_t bangs = static_cast<std::size_t>(std::count(w.begin(), w.end(), u'!')) + 1;
    bangs_.reserve(bangs);
    live_ = LiveLinks<std::size_t>(bangs);
    index_ = KeyIndex(bangs);  // few "!"s are filed at once: the keys come as they are used
    std::size_t from = 0;
    while (true) {
      const std::size_t bang = w.find(u'!', from);
      const TextView piece = w.substr(from, (bang == TextView::npos ? w.size() : bang) - from);
      const std::size_t id = bangs_.size();
      Bang& b = bangs_.emplace_back(Bang{.text = {}, .run = RunOf(piece)});
      pieces_.Append(b.text, piece);
      if (bang == TextView::npos) break;
      Index(id);
      from = bang + 1;
    }
  }

  void Index(std::size_t id) {
    const DigitRun& r = bangs_[id].run;
    if (r.digits > 0) index_.Set(id, Filed(KeyOf(r)));
  }

  // Every "!" whose run is the term's digits, from the right, so that each
  // joins a piece that has already taken its own replacement.
  void ReplaceCopies(TextKey key, TextView value) {
    copies_.clear();
    index_.TakeOut(
        Filed(key), [&](std::size_t id) { return Judged(live_.From(id) == id, KeyOf(bangs_[id].run) == key); },
        [&](std::size_t id) { copies_.push_back(id); });
    std::reverse(copies_.begin(), copies_.end());
    const DigitRun valueRun = RunOf(value);
    for (const std::size_t id : copies_) {
      Bang& b = bangs_[id];
      // What is left ends with a character that is not a digit, or is empty.
      const DigitRun left = Joined({.allDigits = b.text.size == key.length}, valueRun, value.size());
      pieces_.CutBack(b.text, static_cast<std::size_t>(key.length));
      pieces_.Append(b.text, value);
      live_.Remove(id);
      const std::size_t next = live_.From(id);
      Bang& n = bangs_[next];
      const bool grows = n.run.allDigits;
      n.run = Joined(left, n.run, n.text.size);
      pieces_.Prepend(n.text, b.text);
      if (grows && next != bangs_.size() - 1) Index(next);
    }
  }

  Pieces pieces_;
  std::vector<Bang> bangs_;  // reserved in full: references stay valid
  LiveLinks<std::size_t> live_;  // the "!"s still in the text; the last, the end, stays
  KeyIndex index_;  // "!"s by the key of their run of digits
  ValueCache values_;  // the pieces of the text point into its texts
  std::vector<std::size_t> copies_;
};

}  // namespace

Text ExpandFactorials(TextView w) {
  return Expanded(u'!', w, [&] { return FactorialPass(w).Run(); });
}

}  // namespace orvane::detail
