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
};

struct Stretch {
  Pieces text;
  std::uint64_t hash = 0;
  std::deque<std::size_t> letters;  // in text order
  std::size_t next = 0;             // the next stretch still in the text
  bool closed = true;               // ends with ")"; the last one may not
  bool gone = false;                // joined the next one
};

class LetterPass {
 public:
  LetterPass(Kind letter, TextView w) : letter_(letter) { Split(w); }

  Text Run() {
    long long before = 0;  // length of the stretches before the front, which hold no letter
    for (std::size_t front = 0; front < stretches_.size(); front = Live(front)) {
      Stretch& s = stretches_[front];
      if (s.letters.empty()) {
        before += static_cast<long long>(s.text.size());
        front = s.next;
        continue;
      }
      const Key key = letters_[s.letters.front()].key;
      const long long first = before + static_cast<long long>(s.text.size() - key.length) + 1;
      if (!s.closed) LetterTerm(letter_, u"", first, 0);
      const Term term = LetterTerm(letter_, s.text.Back(key.length), first, first + static_cast<long long>(key.length) - 1);
      values_.push_back(ValueText(letter_, term));
      ReplaceCopies(key, values_.back());
    }
    Text out;
    for (std::size_t i = 0; i < stretches_.size(); i = Live(stretches_[i].next)) stretches_[i].text.AppendTo(out);
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
    s.text = Pieces(text);
    s.closed = closed;
    s.next = id + 1;
    std::uint64_t suffix = 0;
    std::vector<std::size_t> found;
    for (std::size_t i = text.size(); i-- > 0;) {
      suffix = PolyHash::Add(PolyHash::Mul(text[i] + 1u, hash_.Pow(text.size() - 1 - i)), suffix);
      if (text[i] == letter_) {
        found.push_back(letters_.size());
        letters_.push_back({{text.size() - i, suffix}, id});
      }
    }
    s.hash = suffix;
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
      s.letters.push_back(*it);
      if (closed) index_[letters_[*it].key].push_back(*it);
    }
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
    std::vector<std::size_t> copies;
    const auto found = index_.find(key);
    for (const std::size_t id : found->second) {
      Letter& l = letters_[id];
      // A letter that moved on since is indexed under its new key as well.
      if (!l.alive || !(l.key == key) || l.seen == step_) continue;
      l.seen = step_;
      copies.push_back(l.stretch);
    }
    index_.erase(found);
    std::sort(copies.begin(), copies.end(), std::greater<>());
    const std::uint64_t valueHash = PolyHash::Of(value);
    for (const std::size_t q : copies) Replace(q, key, value, valueHash);
  }

  // Replaces the end of stretch q by the value and joins the rest to the next stretch.
  void Replace(std::size_t q, const Key& key, TextView value, std::uint64_t valueHash) {
    Stretch& s = stretches_[q];
    s.text.CutBack(key.length);
    while (!s.letters.empty() && letters_[s.letters.back()].key.length <= key.length) {
      letters_[s.letters.back()].alive = false;
      s.letters.pop_back();
    }
    const std::uint64_t restHash = hash_.Unjoin(s.hash, key.hash, key.length);
    s.next = Live(s.next);
    Stretch& p = stretches_[s.next];
    // Everything from the value on is the same for every letter that moves.
    const std::size_t tailLength = value.size() + p.text.size();
    const std::uint64_t tailHash = hash_.Join(valueHash, p.hash, p.text.size());
    for (const std::size_t id : s.letters) {
      Letter& l = letters_[id];
      const std::uint64_t own = hash_.Unjoin(l.key.hash, key.hash, key.length);
      l.key = {l.key.length - key.length + tailLength, hash_.Join(own, tailHash, tailLength)};
      l.stretch = s.next;
      if (p.closed) index_[l.key].push_back(id);
    }
    p.hash = hash_.Join(restHash, tailHash, tailLength);
    s.text.Append(value);
    p.text.Prepend(std::move(s.text));
    if (s.letters.size() <= p.letters.size()) {
      for (auto it = s.letters.rbegin(); it != s.letters.rend(); ++it) p.letters.push_front(*it);
    } else {
      for (const std::size_t id : p.letters) s.letters.push_back(id);
      p.letters.swap(s.letters);
    }
    s.letters.clear();
    s.gone = true;
  }

  Kind letter_;
  PolyHash hash_;
  std::deque<Stretch> stretches_;
  std::vector<Letter> letters_;
  std::unordered_map<Key, std::vector<std::size_t>, KeyHash> index_;
  std::deque<Text> values_;  // the pieces of the text point into these
  std::size_t step_ = 0;
};

}  // namespace

Text ExpandLetterTerms(Kind letter, TextView w) {
  if (w.find(letter) == TextView::npos) return Text(w);
  return LetterPass(letter, w).Run();
}

}  // namespace orvane::detail
