// SPDX-License-Identifier: MIT
// Pairs of backslashes make the first pass of a text evaluate its first
// group's inside as a text of its own, whose own first pass may do the same;
// this file takes those nested first passes one after the other.
#include <algorithm>
#include <optional>
#include <vector>

#include "flat/FlatEvaluation.h"
#include "groups/GroupEvaluation.h"
#include "groups/GroupPasses.h"
#include "groups/GroupTree.h"
#include "rewrite/TextOps.h"

namespace StringStuff::groups {

using namespace orvane;
using namespace orvane::detail;

namespace {

// The first pass over a text with pairs of backslashes turns every pair into
// the first group's value: the first group and every copy of it become the
// placeholder, then every placeholder and every pair the value. The first
// group's inside is evaluated as a text of its own, and when it holds groups
// and pairs too, its own first pass does the same one level down. Those
// levels are taken here one after the other, over the one text, so that a
// deep chain of them costs its length once rather than once per level.
class FirstPasses {
 public:
  explicit FirstPasses(TextView text)
      : text_(text), match_(Partners(text)), opens_(text.size() + 1), pairs_(text.size() + 1) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      opens_[i + 1] = static_cast<Pos>(opens_[i] + (text[i] == u'('));
      pairs_[i + 1] = static_cast<Pos>(pairs_[i] + (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'\\'));
    }
  }

  // The whole evaluation: the first pass, then the passes left, as a walk
  // when walkFirst allows it.
  Text Run(bool walkFirst) {
    detail::Occurrences(text_, u'(');
    const std::size_t first = text_.find(u'(');
    if (first == TextView::npos) return Text(text_);
    // Only the whole text can nest too deep or leave its first "(" open: an
    // inside is a balanced text, shallower than the group around it.
    std::vector<Level> levels{{0, text_.size(), first, MatchingParen(text_, first)}};
    while (levels.back().close) {
      const Level& outer = levels.back();
      const std::size_t from = outer.open + 1, to = *outer.close;
      if (opens_[to] == opens_[from] || pairs_[to - 1] == pairs_[from]) break;
      const std::size_t open = text_.find(u'(', from);
      levels.push_back({from, to, open, match_[open]});
    }
    const Level& deepest = levels.back();
    const TextView inner =
        deepest.close ? text_.substr(deepest.open + 1, *deepest.close - deepest.open - 1) : TextView();
    Text g = Contains(inner, u'(') ? Evaluate(inner) : Text(inner);
    for (std::size_t k = levels.size(); k-- > 0;) {
      const Level& level = levels[k];
      bool more = false;
      Text r = Rewritten(level, g, more);
      const auto took = static_cast<long>(opens_[level.end] - opens_[level.start]) -
                        std::count(r.begin(), r.end(), u'(');
      // The passes after the first one; an inside is balanced.
      if (!more) {
        g = std::move(r);
      } else if (auto walked = (k > 0 || walkFirst) ? WalkGroups(r) : std::nullopt) {
        g = *std::move(walked);
      } else {
        g = RunGroupPasses(r);
      }
      // A first pass that took two "(" or more leaves a pass over, which
      // checks the length (those the passes after it leave, they check).
      if (took > 1) CheckLength(g);
    }
    return g;
  }

 private:
  // A text [start, end) of the original, its first "(" and the ")" that closes it.
  struct Level {
    std::size_t start, end, open;
    std::optional<std::size_t> close;
  };

  // One level's first pass, its first group's inside evaluated to g.
  Text Rewritten(const Level& level, TextView g, bool& more) const {
    // The group (or, when it never closes, "()") and its copies after it:
    // groups never overlap, so a copy is a "(" whose ")" stands as far on.
    const std::size_t length = level.close ? *level.close - level.open + 1 : 2;
    const TextView group = level.close ? text_.substr(level.open, length) : TextView(u"()");
    Text m = level.close ? Text(kPlaceholder) : Text();
    for (std::size_t i = level.close ? *level.close + 1 : level.open; i < level.end;) {
      if (text_[i] == u'(' && match_[i] == i + length - 1 && text_.substr(i, length) == group) {
        m += kPlaceholder;
        i += length;
      } else {
        m += text_[i++];
      }
    }
    const Text v = flat::Evaluate(g);
    Text r = ReplaceAll(Text(text_.substr(level.start, level.open - level.start)) + m, kPlaceholder, v);
    more = level.close && Contains(r, u'(');
    return r;
  }

  TextView text_;
  std::vector<Pos> match_;  // per "(" its ")", or kNone
  std::vector<Pos> opens_;  // "(" before each position
  std::vector<Pos> pairs_;  // pairs of backslashes starting before each position
};

}  // namespace

Text RunFirstPasses(TextView text, bool walkFirst) { return FirstPasses(text).Run(walkFirst); }

}  // namespace StringStuff::groups
