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
#include <unordered_map>
#include <utility>
#include <vector>

#include "KeyIndex.h"
#include "Pieces.h"
#include "PolyHash.h"
#include "TermPasses.h"
#include "TextOps.h"

namespace orvane::detail {

namespace {

struct Key {
  long long length;  // from the letter through the end of its stretch
  std::uint64_t hash;
  bool operator==(const Key&) const = default;
};

struct KeyHash {
  std::size_t operator()(const Key& k) const {
    return k.hash ^ (static_cast<std::size_t>(k.length) * 0x9E3779B97F4A7C15ull);
  }
};

// The key of the index, where keys that share one are told apart by their letters.
std::uint64_t Filed(const Key& k) { return KeyHash{}(k); }

struct Letter {
  Key key;               // its own while indexed, else relative to its group
  std::size_t stretch;   // while indexed
  bool alive = true;
  bool indexed = false;
  std::size_t seen = 0;  // the last step that took it as a copy
  long prev = -1;        // neighbours in its list, in text order
  long next = -1;
};

struct List {
  long first = -1;
  long last = -1;
  std::size_t count = 0;
};

// h -> h * base^shift + add, length -> length + shift.
struct Transform {
  long long shift = 0;
  std::uint64_t add = 0;
};

struct Stretch {
  Pieces::Chain text;
  TextView original;    // its text until it first changes
  bool hashed = false;  // most stretches never need their hash
  std::uint64_t hash = 0;
  List moved;    // letters that came with a copy's rest, before all the others
  Transform group;
  Key tail{};    // the text after the moved letters, while there are any
  std::unordered_map<long long, long> byLength;  // moved letters by their length in the group
  List indexed;  // the others, after the moved ones
  std::size_t next = 0;  // the next stretch still in the text
  bool closed = true;    // ends with ")"; the last one may not
  bool gone = false;     // joined the next one
};

class LetterPass {
 public:
  LetterPass(Kind letter, TextView w) : letter_(letter), values_(letter) { Split(w); }

  Text Run() {
    long long before = 0;  // length of the stretches before the front, which hold no letter
    for (std::size_t front = 0; front < stretches_.size(); front = Live(front)) {
      Stretch& s = stretches_[front];
      if (s.moved.count + s.indexed.count == 0) {
        before += static_cast<long long>(s.text.size);
        front = s.next;
        continue;
      }
      const Key key = s.moved.count ? Own(At(s.moved.first), s.group) : At(s.indexed.first).key;
      const long long first = before + static_cast<long long>(s.text.size) - key.length + 1;
      if (!s.closed) LetterTerm(letter_, u"", first, 0);
      const Text text = pieces_.Back(s.text, static_cast<std::size_t>(key.length));
      const TextView value = values_(LetterTerm(letter_, text, first, first + key.length - 1));
      // All the front's letters lie in its term, which goes.
      Index(front);
      FindMovedCopies(text, key);
      ReplaceCopies(key, value);
    }
    Text out;
    for (std::size_t i = 0; i < stretches_.size(); i = Live(stretches_[i].next)) pieces_.AppendTo(stretches_[i].text, out);
    return out;
  }

 private:
  Letter& At(long id) { return letters_[static_cast<std::size_t>(id)]; }

  std::uint64_t Power(long long e) { return e >= 0 ? hash_.Pow(static_cast<std::size_t>(e)) : hash_.InvPow(static_cast<std::size_t>(-e)); }

  Key Apply(const Key& k, const Transform& t) {
    return {k.length + t.shift, PolyHash::Add(PolyHash::Mul(k.hash, Power(t.shift)), t.add)};
  }
  Key Own(const Letter& l, const Transform& group) { return Apply(l.key, group); }
  Key Relative(const Key& own, const Transform& group) {
    return {own.length - group.shift, PolyHash::Mul(PolyHash::Sub(own.hash, group.add), Power(-group.shift))};
  }

  // left + right; both lists are left empty.
  List Concat(List& left, List& right) {
    if (left.count == 0) return std::exchange(right, List{});
    if (right.count == 0) return std::exchange(left, List{});
    At(left.last).next = right.first;
    At(right.first).prev = left.last;
    const List out{left.first, right.last, left.count + right.count};
    left = right = List{};
    return out;
  }

  template <typename F>
  void ForEach(const List& list, F f) {
    for (long id = list.first; id >= 0; id = id == list.last ? -1 : At(id).next) f(At(id), id);
  }

  void Split(TextView w) {
    stretches_.reserve(static_cast<std::size_t>(std::count(w.begin(), w.end(), u')')) + 1);
    index_ = KeyIndex(static_cast<std::size_t>(std::count(w.begin(), w.end(), letter_)));
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
    s.original = text;
    if (text.find(letter_) == TextView::npos) return;
    // Each letter's key from the hash of the text before it.
    found_.clear();
    std::uint64_t h = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == letter_) found_.push_back({i, h});
      h = PolyHash::Step(h, text[i]);
    }
    s.hash = h;
    s.hashed = true;
    // Of a stretch without ")" only the first letter counts: there the pass fails.
    if (!closed) found_.resize(1);
    for (auto it = found_.rbegin(); it != found_.rend(); ++it) {
      const std::size_t i = it->first;
      const std::uint64_t suffix = PolyHash::Sub(h, PolyHash::Mul(it->second, hash_.Pow(text.size() - i)));
      const auto l = static_cast<long>(letters_.size());
      letters_.push_back({{static_cast<long long>(text.size() - i), suffix}, id});
      letters_.back().next = s.indexed.first;
      (s.indexed.first < 0 ? s.indexed.last : At(s.indexed.first).prev) = l;
      s.indexed.first = l;
      ++s.indexed.count;
      if (closed) {
        letters_.back().indexed = true;
        index_.Set(static_cast<std::size_t>(l), Filed(letters_.back().key));
      }
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

  // Gives the moved letters of a stretch their own keys in the index.
  void Index(std::size_t id) {
    Stretch& s = stretches_[id];
    if (s.moved.count == 0 || !s.closed) return;
    ForEach(s.moved, [&](Letter& l, long) {
      l.key = Own(l, s.group);
      l.stretch = id;
      l.indexed = true;
    });
    ForEach(s.moved, [&](Letter& l, long lid) { index_.Set(static_cast<std::size_t>(lid), Filed(l.key)); });
    s.indexed = Concat(s.moved, s.indexed);
    s.group = Transform{};
    s.byLength.clear();
  }

  // The groups whose tail ends the term with text before it: small ones are
  // indexed, large ones give the copy among their letters, if there is one.
  void FindMovedCopies(TextView term, const Key& key) {
    moved_.clear();
    std::uint64_t h = 0;
    for (std::size_t length = 1; length < term.size(); ++length) {
      const char16_t c = term[term.size() - length];
      h = PolyHash::Add(PolyHash::Mul(c + 1u, hash_.Pow(length - 1)), h);
      if (!IsDigit(c) && c != u'-') continue;  // a tail starts with a value
      const Key tail{static_cast<long long>(length), h};
      const auto found = tails_.find(tail);
      if (found == tails_.end()) continue;
      std::vector<std::size_t>& ids = found->second;
      std::size_t kept = 0;
      for (const std::size_t id : ids) {
        Stretch& s = stretches_[id];
        if (s.gone || s.moved.count == 0 || !(s.tail == tail)) continue;
        if (s.moved.count <= kSmallGroup) {
          Index(id);
          continue;
        }
        ids[kept++] = id;
        const auto letter = s.byLength.find(key.length - s.group.shift);
        if (letter != s.byLength.end() && Own(At(letter->second), s.group) == key) moved_.push_back(id);
      }
      ids.resize(kept);
      if (kept == 0) tails_.erase(found);
    }
  }

  // Every stretch whose end is the term's text, from the right, so that each
  // joins a stretch that has already taken its own replacement.
  void ReplaceCopies(const Key& key, TextView value) {
    ++step_;
    std::vector<std::size_t>& copies = copies_;
    copies.clear();
    // The front's own letter is among them: it was indexed as the front.
    for (const std::size_t id : index_.Under(Filed(key))) {
      Letter& l = letters_[id];
      if (!(l.key == key)) continue;  // another key filed alike
      index_.Remove(id);
      // A letter that moved on since waits to be indexed under its new key.
      if (!l.alive || !l.indexed || l.seen == step_) continue;
      l.seen = step_;
      copies.push_back(l.stretch);
    }
    copies.insert(copies.end(), moved_.begin(), moved_.end());
    if (copies.size() > 1) std::sort(copies.begin(), copies.end(), std::greater<>());
    const std::uint64_t valueHash = PolyHash::Of(value);
    for (const std::size_t q : copies) Replace(q, key, value, valueHash);
  }

  // Replaces the end of stretch q by the value and joins the rest to the next stretch.
  void Replace(std::size_t q, const Key& key, TextView value, std::uint64_t valueHash) {
    Stretch& s = stretches_[q];
    const auto length = static_cast<std::size_t>(key.length);
    pieces_.CutBack(s.text, length);
    // The moved letters stand before the others.
    while (s.indexed.count && At(s.indexed.last).key.length <= key.length) {
      At(s.indexed.last).alive = false;
      s.indexed.last = At(s.indexed.last).prev;
      if (--s.indexed.count == 0) s.indexed = List{};
    }
    while (s.indexed.count == 0 && s.moved.count && Own(At(s.moved.last), s.group).length <= key.length) {
      At(s.moved.last).alive = false;
      s.byLength.erase(At(s.moved.last).key.length);
      s.moved.last = At(s.moved.last).prev;
      if (--s.moved.count == 0) s.moved = List{};
    }
    const std::uint64_t restHash = hash_.Unjoin(s.hash, key.hash, length);
    s.next = Live(s.next);
    Stretch& p = stretches_[s.next];
    if (!p.hashed) {
      p.hash = PolyHash::Of(p.original);
      p.hashed = true;
    }
    // Every letter that moves loses the copy and gains the value and p's text.
    const Key tail{static_cast<long long>(value.size() + p.text.size), hash_.Join(valueHash, p.hash, p.text.size)};
    const long long shift = tail.length - key.length;
    const Transform step{shift, PolyHash::Sub(tail.hash, PolyHash::Mul(key.hash, Power(shift)))};
    s.group = Transform{s.group.shift + shift, PolyHash::Add(PolyHash::Mul(s.group.add, Power(shift)), step.add)};
    const bool hadMoved = p.moved.count > 0;
    // The larger group keeps its transform; the letters of the other are converted.
    Transform target = s.group;
    if (hadMoved && p.moved.count >= s.moved.count) {
      target = p.group;
      ForEach(s.moved, [&](Letter& l, long id) {
        l.key = Relative(Own(l, s.group), target);
        p.byLength[l.key.length] = id;
      });
    } else {
      ForEach(p.moved, [&](Letter& l, long id) {
        l.key = Relative(Own(l, p.group), target);
        s.byLength[l.key.length] = id;
      });
      p.byLength.swap(s.byLength);
    }
    s.byLength.clear();
    ForEach(s.indexed, [&](Letter& l, long id) {
      l.key = Relative(Apply(l.key, step), target);
      l.indexed = false;
      p.byLength[l.key.length] = id;
    });
    List rest = Concat(s.moved, s.indexed);
    p.moved = Concat(rest, p.moved);
    p.group = target;
    if (!hadMoved && p.moved.count && p.closed) {
      p.tail = tail;
      tails_[tail].push_back(s.next);
    }
    p.hash = hash_.Join(restHash, tail.hash, static_cast<std::size_t>(tail.length));
    pieces_.Append(s.text, value);
    pieces_.Prepend(p.text, s.text);
    s.gone = true;
  }

  Kind letter_;
  PolyHash hash_;
  Pieces pieces_;
  std::vector<Stretch> stretches_;  // reserved in full: references stay valid
  std::vector<Letter> letters_;
  KeyIndex index_;  // letters by their own keys
  std::unordered_map<Key, std::vector<std::size_t>, KeyHash> tails_;  // stretches by the tail of their group
  ValueCache values_;  // the pieces of the text point into its texts
  std::vector<std::size_t> copies_;
  std::vector<std::size_t> moved_;
  std::vector<std::pair<std::size_t, std::uint64_t>> found_;  // letters of a new stretch, with the hash before them  // stretches whose copy is among their moved letters
  std::size_t step_ = 0;
  // Groups up to this size are indexed letter by letter once a term ends with their tail.
  static constexpr std::size_t kSmallGroup = 64;
};

}  // namespace

Text ExpandLetterTerms(Kind letter, TextView w) {
  if (w.find(letter) == TextView::npos) return Text(w);
  return LetterPass(letter, w).Run();
}

}  // namespace orvane::detail
