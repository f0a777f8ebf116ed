// SPDX-License-Identifier: MIT
// The C, A, W and T passes over the stretches of the working text that end at
// a ")". A term is the end of its stretch from the letter on, so its copies
// are the stretches that end with the same text: letters are indexed by the
// length and hash of the text from them to the end of their stretch.
//
// Replacing a copy removes the stretch's ")", and what is left of it joins
// the next stretch. The letters that move all gain the same text at the end,
// so they are not indexed again one by one: they wait in the next stretch's
// group of moved letters, whose keys follow from one shared transform. They
// can only be a copy of a term that ends with the text after them (the tail,
// which starts with a value). When a term ends with a group's tail, a small
// group is indexed letter by letter; a large one is asked for the one letter
// at the term's length. The front stretch's group is indexed as it goes.

#include <algorithm>
#include <utility>
#include <vector>

#include "rewrite/KeyIndex.h"
#include "rewrite/MovedGroups.h"
#include "rewrite/Pieces.h"
#include "rewrite/PolyHash.h"
#include "terms/TermPasses.h"
#include "rewrite/TextOps.h"

namespace orvane::detail {

namespace {

using Key = TextKey;  // from the letter through the end of its stretch

// Kept small: a text of letters has one for each.
struct Letter {
  Key key;                  // its own while indexed, else relative to its group
  std::uint32_t stretch;    // while indexed
  int prev = -1;            // neighbours in its list, in text order
  int next = -1;
  bool alive = true;
  bool indexed = false;
};

// Its moved letters and the others; gone once it joined the next one.
struct Stretch : MovedGroup {
  bool closed = true;  // ends with ")"; the last one may not (first, to pack with gone)
  Pieces::Chain text;
  std::uint64_t hash = 0;
};

using Groups = MovedGroups<Letter, std::size_t>;

class LetterPass {
 public:
  LetterPass(Kind letter, TextView w) : letter_(letter), values_(letter) { Split(w); }

  Text Run() {
    long long before = 0;  // length of the stretches before the front, which hold no letter
    for (std::size_t front = 0; front != live_.kNone; front = live_.From(front)) {
      Stretch& s = stretches_[front];
      if (s.moved.count + s.indexed.count == 0) {
        before += static_cast<long long>(s.text.size);
        ++front;
        continue;
      }
      const Key key = s.moved.count ? Groups::Own(At(s.moved.first), s) : At(s.indexed.first).key;
      const long long first = before + static_cast<long long>(s.text.size) - key.length + 1;
      if (!s.closed) LetterTerm(letter_, u"", first, 0);
      const Text text = pieces_.Back(s.text, static_cast<std::size_t>(key.length));
      const TextView value = values_(LetterTerm(letter_, text, first, first + key.length - 1));
      // All the front's letters lie in its term, which goes.
      IndexFront(front);
      FindMovedCopies(text, key);
      ReplaceCopies(key, value);
    }
    index_.CheckInvariants();
    return ReadLive(stretches_, live_, pieces_);
  }

 private:
  Letter& At(int id) { return letters_[static_cast<std::size_t>(id)]; }

  void Split(TextView w) {
    stretches_.reserve(static_cast<std::size_t>(std::count(w.begin(), w.end(), u')')) + 1);
    // Every letter of a closed stretch, and the first one after the last ")".
    const std::size_t closed = w.rfind(u')') + 1;  // 0 when there is none
    const std::size_t letters =
        static_cast<std::size_t>(std::count(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(closed), letter_)) +
        (w.find(letter_, closed) != TextView::npos);
    letters_.reserve(letters);
    index_ = KeyIndex(letters, letters);  // most letters have keys of their own
    std::size_t from = 0;
    while (true) {
      const std::size_t close = w.find(u')', from);
      const std::size_t end = close == TextView::npos ? w.size() : close + 1;
      AddStretch(w.substr(from, end - from), close != TextView::npos);
      if (close == TextView::npos) break;
      from = end;
    }
    moving_.Expect(stretches_.size());
    live_ = LiveLinks<std::size_t>(stretches_.size());
  }

  void AddStretch(TextView text, bool closed) {
    const std::size_t id = stretches_.size();
    Stretch& s = stretches_.emplace_back();
    pieces_.Append(s.text, text);
    s.closed = closed;
    const std::size_t firstLetter = text.find(letter_);
    // Its hash and each letter's key from the hash of the text from it on, from the right.
    // Of a stretch without ")" only the first letter counts: there the pass fails.
    std::uint64_t h = 0;
    const Powers& powers = PowerTable();
    for (std::size_t i = text.size(); i-- > 0;) {
      h = PolyHash::Add(PolyHash::Mul(text[i] + 1u, powers.Of(text.size() - 1 - i)), h);
      if (text[i] != letter_ || (!closed && i != firstLetter)) continue;
      const auto l = static_cast<int>(letters_.size());
      Letter& letter = letters_.emplace_back(Letter{{static_cast<long long>(text.size() - i), h}, static_cast<std::uint32_t>(id)});
      letter.indexed = closed;
      moving_.PushFront(s.indexed, l);
      if (closed) index_.Set(static_cast<std::size_t>(l), Filed(letter.key));
    }
    s.hash = h;
  }

  // Gives the moved letters of a stretch their own keys in the index.
  void Index(std::size_t id) {
    Stretch& s = stretches_[id];
    if (!s.closed) return;
    moving_.Settle(s, [&](Letter& l, int lid) {
      l.stretch = static_cast<std::uint32_t>(id);
      index_.Set(static_cast<std::size_t>(lid), Filed(l.key));
    });
  }

  // Of the front's moved letters only the first, its own, can be a copy of
  // its term: the others are shorter, and go with it unfiled.
  void IndexFront(std::size_t id) {
    Stretch& s = stretches_[id];
    if (s.closed)
      while (s.moved.count > 1) moving_.Lose(moving_.PopBack(s.moved), true);
    Index(id);
  }

  // The stretches whose copy is among their moved letters; small groups met
  // on the way are indexed instead.
  void FindMovedCopies(TextView term, Key key) {
    moved_.clear();
    moving_.FindMoved(
        term, key, [&](std::size_t id) -> Stretch& { return stretches_[id]; }, [&](std::size_t id) { Index(id); },
        [&](std::size_t id, int) { moved_.push_back(id); });
  }

  // Every stretch whose end is the term's text, from the right, so that each
  // joins a stretch that has already taken its own replacement.
  void ReplaceCopies(Key key, TextView value) {
    // The front's own letter is among them: it was indexed as the front. A
    // letter that moved on since waits to be indexed under its new key.
    copies_ = moved_;
    index_.TakeOut(
        Filed(key),
        [&](std::size_t id) { return Judged(letters_[id].alive && letters_[id].indexed, letters_[id].key == key); },
        [&](std::size_t id) { copies_.push_back(letters_[id].stretch); });
    std::sort(copies_.begin(), copies_.end(), std::greater<>());
    const std::uint64_t valueHash = PolyHash::Of(value);
    for (const std::size_t q : copies_) Replace(q, key, value, valueHash);
  }

  // Replaces the end of stretch q by the value and joins the rest to the next stretch.
  void Replace(std::size_t q, Key key, TextView value, std::uint64_t valueHash) {
    Stretch& s = stretches_[q];
    const auto length = static_cast<std::size_t>(key.length);
    pieces_.CutBack(s.text, length);
    // The letters in the copy go: those whose terms are no longer than it.
    TrimBack(moving_, s, [&](int l, bool moved) { return (moved ? Groups::Own(At(l), s) : At(l).key).length <= key.length; });
    const std::uint64_t restHash = PolyHash::Unjoin(s.hash, key.hash, length);
    const std::size_t next = live_.From(q + 1);
    Stretch& p = stretches_[next];
    // Every letter that moves loses the copy and gains the value and p's text.
    const Key tail{static_cast<long long>(value.size() + p.text.size), PolyHash::Join(valueHash, p.hash, p.text.size)};
    if (!moving_.Merge(s, p, Replacing(key, tail)) && p.moved.count && p.closed) moving_.AddTail(p, next, tail);
    p.hash = PolyHash::Join(restHash, tail.hash, static_cast<std::size_t>(tail.length));
    pieces_.Append(s.text, value);
    pieces_.Prepend(p.text, s.text);
    s.gone = true;
    live_.Remove(q);
  }

  Kind letter_;
  Pieces pieces_;
  std::vector<Stretch> stretches_;  // reserved in full: references stay valid
  LiveLinks<std::size_t> live_;  // the stretches still in the text
  std::vector<Letter> letters_;
  Groups moving_{letters_};  // stretches by the tail of their moved letters
  KeyIndex index_;  // letters by their own keys
  ValueCache values_;  // the pieces of the text point into its texts
  std::vector<std::size_t> copies_;
  std::vector<std::size_t> moved_;  // stretches whose copy is among their moved letters
};

}  // namespace

Text ExpandLetterTerms(Kind letter, TextView w) {
  return Expanded(letter, w, [&] { return LetterPass(letter, w).Run(); });
}

}  // namespace orvane::detail
