// SPDX-License-Identifier: MIT
// The group passes of one text, each over the first group left: its value
// replaces it and every group whose current text is the same. The groups
// are filed in the shared index by the keys of their current insides, read
// from the tree of hashes of the current text; a copy is a group with the
// same key, length and hash.
#include "groups/GroupPasses.h"

#include <algorithm>
#include <vector>

#include "flat/FlatEvaluation.h"
#include "groups/CurrentText.h"
#include "groups/GroupEvaluation.h"
#include "groups/GroupTree.h"
#include "groups/StaleKeys.h"
#include "rewrite/KeyIndex.h"
#include "rewrite/TextOps.h"

namespace orvane::StringStuff::groups {

namespace {

// A "(" that never closes, at the start of rest: only "()" is replaced, and
// the passes left change nothing.
Text AfterUnclosed(Text before, TextView rest) {
  before += detail::ReplaceAll(rest, u"()", u"0");
  return before;
}

class Passes {
 public:
  explicit Passes(TextView text)
      : groups_(text),
        current_(groups_),
        index_(groups_.Count(), groups_.Count()),  // most groups have keys of their own
        keys_(groups_, current_, index_) {
    keys_.IndexAll();
  }

  Text Run() {
    std::size_t unclosed = kNone;
    const std::size_t passes = PassesOver(0, groups_.Source().size(), groups_.Count() - 1, unclosed);
    groups_.CheckInvariants();
    current_.CheckInvariants();
    index_.CheckInvariants();
    if (unclosed != kNone) {
      groups_.CheckDepth(unclosed, groups_.Source().size());
      return AfterUnclosed(current_.Read(0, unclosed), current_.Read(unclosed, groups_.Source().size()));
    }
    // A text has one pass per "(" it holds, and a pass that took nested
    // groups or copies along leaves passes over: they find no group, but each
    // still checks the length of the text.
    const TextView text = groups_.Source();
    if (passes < static_cast<std::size_t>(std::count(text.begin(), text.end(), u'('))) detail::CheckLength(current_.Length());
    return current_.Read(0, groups_.Source().size());
  }

 private:
  // The passes over the positions first to last, a text of its own whose
  // groups run up to lastGroup, each over the first group left: how many
  // found one, and where a "(" that never closes ended them (only the whole
  // text can hold one: every "(" inside a closed group closes inside it).
  std::size_t PassesOver(std::size_t first, std::size_t last, std::size_t lastGroup, std::size_t& unclosed) {
    std::size_t passes = 0;
    for (std::size_t i = first; i < last; ++i) {
      if (groups_.Source()[i] != u'(') continue;
      const std::size_t k = groups_.GroupAt(i);
      if (groups_.IsReplaced(k)) {
        i = groups_.Match(i);
        continue;
      }
      detail::CheckLength(current_.Length(first, last));
      if (k == kNone) {
        unclosed = i;
        break;
      }
      Pass(k, lastGroup);
      ++passes;
      i = groups_.Match(i);
    }
    return passes;
  }

  // The value stands at the "(", and everything after it inside goes; a
  // group replaced before has its inside cleared already.
  void Replace(std::size_t k, TextView value) {
    current_.Put(groups_.Start(k), value);
    groups_.Replace(k, [&](std::size_t i) { current_.Clear(i); });
    changed_.push_back(groups_.Parent(k));
  }

  // The inside of group k with its own groups replaced, as a text of its own
  // would have them. A long inside has its passes here, within it alone; a
  // short one is a text of its own, where one walk mostly does. The scan for
  // the group's ")" counts its depth in 8 bits, so no group taken here nests
  // more than 255 levels, and neither does this recursion.
  Text Evaluated(std::size_t k) {
    const std::size_t open = groups_.Start(k), close = groups_.End(k);
    if (groups_.Height(k) > 255) groups_.CheckDepth(open, close + 1);
    if (close - open > kEvaluatedHere) {
      std::size_t unclosed = kNone;
      evaluating_.push_back(k);
      const std::size_t passes = PassesOver(open + 1, close, groups_.LastInside(k), unclosed);
      evaluating_.pop_back();
      Text inner = current_.Read(open + 1, close);
      if (passes < groups_.LastInside(k) - k) detail::CheckLength(inner);  // passes left
      return inner;
    }
    Text inner = current_.Read(open + 1, close);
    return detail::Contains(inner, u'(') ? Evaluate(inner) : inner;
  }

  // The groups after k, up to lastGroup, whose current text is k's: those
  // filed under its key (and left there by the lookup) with the same length
  // and hash, as a copy is accepted everywhere. The index lists groups in
  // text order, and those before k are gone, so they come in text order.
  void CopiesOf(std::size_t k, std::size_t lastGroup) {
    if (groups_.LastInside(k) >= lastGroup) {  // no group after it
      copies_.push_back(k);
      return;
    }
    const TextKey inside = keys_.Inside(k);
    const std::uint64_t key = orvane::detail::Filed(inside);
    keys_.Refresh(inside.length);
    copies_.push_back(k);
    index_.TakeOut(
        key,
        [&](std::size_t c) {
          using Found = detail::Found;
          // Gone, or going with k.
          if (c <= groups_.LastInside(k) || groups_.IsGone(c)) return Found::kGone;
          const TextKey other = keys_.Inside(c);
          if (other == inside) return Found::kCopy;
          // A stale key is filed again under the new one when refreshed.
          return orvane::detail::Filed(other) != key ? Found::kGone : Found::kOther;
        },
        [&](std::size_t c) { copies_.push_back(c); }, lastGroup);
  }

  // One pass over a text whose groups run up to lastGroup: group k, the first
  // one left there, evaluated, and every copy of it after it. The copies are
  // those of the text before its inside is evaluated; the passes inside it
  // leave copies_ as they found it.
  void Pass(std::size_t k, std::size_t lastGroup) {
    const std::size_t first = copies_.size();
    CopiesOf(k, lastGroup);
    const Text v = flat::Evaluate(Evaluated(k));
    for (std::size_t c = first; c < copies_.size(); ++c) Replace(copies_[c], v);
    copies_.resize(first);
    for (const std::size_t g : changed_)
      if (!Evaluating(g)) keys_.MarkDirty(g);
    changed_.clear();
  }

  // Whether group g is one whose inside is being evaluated here: it goes when
  // its pass ends, and no lookup before then can take it, so its key and
  // those around it need no care. Those groups nest, one per depth from 0.
  bool Evaluating(std::size_t g) const {
    return g != kNone && groups_.Depth(g) < evaluating_.size() && evaluating_[groups_.Depth(g)] == g;
  }

  static constexpr std::size_t kEvaluatedHere = 2048;

  GroupTree groups_;
  CurrentText current_;
  detail::KeyIndex index_;
  StaleKeys keys_;
  std::vector<std::size_t> copies_;   // the copies of the passes under way, outermost first
  std::vector<std::size_t> changed_;  // the groups around this pass's changes
  std::vector<std::size_t> evaluating_;  // the groups whose passes inside are under way, outermost first
};

}  // namespace

// A text whose first "(" never closes has no pass, and needs no index.
Text RunGroupPasses(TextView text) {
  detail::Occurrences(text, u'(');  // a text of 32767 characters or more overflows
  const std::size_t first = text.find(u'(');
  if (!MatchingParen(text, first)) return AfterUnclosed(Text(text.substr(0, first)), text.substr(first));
  return Passes(text).Run();
}

}  // namespace orvane::StringStuff::groups
