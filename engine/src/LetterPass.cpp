// SPDX-License-Identifier: MIT
// The C, A, W and T passes over the stretches of the working text that end at
// a ")". A term is the end of its stretch from the letter on, so its copies
// are the stretches that end with the same text: every letter is indexed by
// the length and hash of the text from it to the end of its stretch. Replacing
// a copy removes the stretch's ")", and what is left of it joins the next
// stretch; only the letters that move get a new key.

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "Pieces.h"
#include "PolyHash.h"
#include "TermPasses.h"

namespace orvane::detail {

namespace {

struct Key {
  std::size_t length;  // from the letter through the end of its stretch
  std::uint64_t hash;
  bool operator==(const Key&) const = default;
};

struct KeyHash {
  std::size_t operator()(const Key& k) const { return k.hash ^ (k.length * 0x9E3779B97F4A7C15ull); }
};

struct Letter {
  Key key;
  std::size_t stretch;
  bool alive = true;
  std::size_t seen = 0;  // the last step that took it as a copy
  long prev = -1;        // the letters of a stretch, in text order
  long next = -1;
};

struct Stretch {
  Pieces::Chain text;
  std::uint64_t hash = 0;
  long first = -1;                  // its first and last letter
  long last = -1;
  std::size_t next = 0;             // the next stretch still in the text
  bool closed = true;               // ends with ")"; the last one may not
  bool gone = false;                // joined the next one
};

class LetterPass {
 public:
  LetterPass(Kind letter, TextView w) : letter_(letter), values_(letter) { Split(w); }

  Text Run() {
    long long before = 0;  // length of the stretches before the front, which hold no letter
    for (std::size_t front = 0; front < stretches_.size(); front = Live(front)) {
      Stretch& s = stretches_[front];
      if (s.first < 0) {
        before += static_cast<long long>(s.text.size);
        front = s.next;
        continue;
      }
      const Key key = letters_[static_cast<std::size_t>(s.first)].key;
      const long long first = before + static_cast<long long>(s.text.size - key.length) + 1;
      if (!s.closed) LetterTerm(letter_, u"", first, 0);
      const Term term = LetterTerm(letter_, pieces_.Back(s.text, key.length), first, first + static_cast<long long>(key.length) - 1);
      ReplaceCopies(key, values_(term));
    }
    Text out;
    for (std::size_t i = 0; i < stretches_.size(); i = Live(stretches_[i].next)) pieces_.AppendTo(stretches_[i].text, out);
    return out;
  }

 private:
  void Split(TextView w) {
    std::size_t from = 0;
    while (true) {
      const std::size_t close = w.find(u')', from);
      const std::size_t end = close == TextView::npos ? w.size() : close + 1;
      AddStretch(w.substr(from, end - from), close != TextView::npos);
      if (close == TextView::npos) break;
      from = end;
    }
  }

  void AddStretch(TextView text, bool closed) {
    const std::size_t id = stretches_.size();
    Stretch& s = stretches_.emplace_back();
    pieces_.Append(s.text, text);
    s.closed = closed;
    s.next = id + 1;
    std::uint64_t suffix = 0;
    for (std::size_t i = text.size(); i-- > 0;) {
      suffix = PolyHash::Add(PolyHash::Mul(text[i] + 1u, hash_.Pow(text.size() - 1 - i)), suffix);
      if (text[i] == letter_) {
        const auto l = static_cast<long>(letters_.size());
        letters_.push_back({{text.size() - i, suffix}, id});
        letters_.back().next = s.first;
        (s.first < 0 ? s.last : letters_[static_cast<std::size_t>(s.first)].prev) = l;
        s.first = l;
        if (closed) index_[letters_.back().key].push_back(static_cast<std::size_t>(l));
      }
    }
    s.hash = suffix;
  }

  // The first stretch from id on that is still in the text. A stretch leaves
  // it only by joining the next one, so the links lead forward.
  std::size_t Live(std::size_t id) {
    std::size_t live = id;
    while (live < stretches_.size() && stretches_[live].gone) live = stretches_[live].next;
    while (id != live) {
      const std::size_t next = stretches_[id].next;
      stretches_[id].next = live;
      id = next;
    }
    return live;
  }

  // Every stretch whose end is the term's text, from the right, so that each
  // joins a stretch that has already taken its own replacement.
  void ReplaceCopies(const Key& key, TextView value) {
    ++step_;
    std::vector<std::size_t>& copies = copies_;
    copies.clear();
    const auto found = index_.find(key);
    for (const std::size_t id : found->second) {
      Letter& l = letters_[id];
      // A letter that moved on since is indexed under its new key as well.
      if (!l.alive || !(l.key == key) || l.seen == step_) continue;
      l.seen = step_;
      copies.push_back(l.stretch);
    }
    index_.erase(found);
    if (copies.size() > 1) std::sort(copies.begin(), copies.end(), std::greater<>());
    const std::uint64_t valueHash = PolyHash::Of(value);
    for (const std::size_t q : copies) Replace(q, key, value, valueHash);
  }

  // Replaces the end of stretch q by the value and joins the rest to the next stretch.
  void Replace(std::size_t q, const Key& key, TextView value, std::uint64_t valueHash) {
    Stretch& s = stretches_[q];
    pieces_.CutBack(s.text, key.length);
    while (s.last >= 0 && letters_[static_cast<std::size_t>(s.last)].key.length <= key.length) {
      letters_[static_cast<std::size_t>(s.last)].alive = false;
      s.last = letters_[static_cast<std::size_t>(s.last)].prev;
    }
    if (s.last < 0) s.first = -1;
    const std::uint64_t restHash = hash_.Unjoin(s.hash, key.hash, key.length);
    s.next = Live(s.next);
    Stretch& p = stretches_[s.next];
    // Everything from the value on is the same for every letter that moves.
    const std::size_t tailLength = value.size() + p.text.size;
    const std::uint64_t tailHash = hash_.Join(valueHash, p.hash, p.text.size);
    for (long id = s.first; id >= 0; id = id == s.last ? -1 : letters_[static_cast<std::size_t>(id)].next) {
      Letter& l = letters_[static_cast<std::size_t>(id)];
      const std::uint64_t own = hash_.Unjoin(l.key.hash, key.hash, key.length);
      l.key = {l.key.length - key.length + tailLength, hash_.Join(own, tailHash, tailLength)};
      l.stretch = s.next;
      if (p.closed) index_[l.key].push_back(static_cast<std::size_t>(id));
    }
    p.hash = hash_.Join(restHash, tailHash, tailLength);
    pieces_.Append(s.text, value);
    pieces_.Prepend(p.text, s.text);
    if (s.first >= 0) {
      letters_[static_cast<std::size_t>(s.last)].next = p.first;
      (p.first < 0 ? p.last : letters_[static_cast<std::size_t>(p.first)].prev) = s.last;
      p.first = s.first;
      s.first = s.last = -1;
    }
    s.gone = true;
  }

  Kind letter_;
  PolyHash hash_;
  Pieces pieces_;
  std::deque<Stretch> stretches_;
  std::vector<Letter> letters_;
  std::unordered_map<Key, std::vector<std::size_t>, KeyHash> index_;
  ValueCache values_;  // the pieces of the text point into its texts
  std::vector<std::size_t> copies_;
  std::size_t step_ = 0;
};

}  // namespace

Text ExpandLetterTerms(Kind letter, TextView w) {
  if (w.find(letter) == TextView::npos) return Text(w);
  return LetterPass(letter, w).Run();
}

}  // namespace orvane::detail
