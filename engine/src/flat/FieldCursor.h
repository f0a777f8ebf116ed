// SPDX-License-Identifier: MIT
#pragma once

// Reading fields one after the other, which is what makes flat evaluation
// and multiset lists linear instead of quadratic.

#include <cstddef>
#include <vector>

#include "orvane/Int16.h"
#include "orvane/Text.h"

namespace orvane::StringStuff {

// Walks the fields of a delimited text one after the other, with exactly the
// searches, positions and limits of taking each field by its index, but
// without searching again from the start for every field.
class FieldCursor {
 public:
  FieldCursor(orvane::TextView text, orvane::TextView delimiter);
  // As above, for a one-character delimiter that does not count at the given
  // indexes of text (ascending), such as the "+" of an exponent.
  FieldCursor(orvane::TextView text, orvane::TextView delimiter, const std::vector<std::size_t>& ignored);

  // The field at the current index, valid while the cursor lives; the cursor
  // starts at index 0.
  orvane::TextView Field() const;
  // Moves to the next index.
  void Advance();
  // Advance, then Field: the first call gives field 1.
  orvane::TextView Next();
  // The result for a negative index (the field of negative length is refused).
  orvane::Text Negative() const;

 private:
  orvane::Text w_;
  orvane::Text delimiter_;
  orvane::Int16 index_ = 0;
  orvane::Int16 start_ = 1;
  orvane::Int16 end_ = 0;  // the next delimiter at or after start_, or 0
  std::vector<std::size_t> ignored_;  // 0-based indexes in w_
  std::size_t nextIgnored_ = 0;

  orvane::Int16 FindDelimiter(orvane::Int16 start);
};

}  // namespace orvane::StringStuff
