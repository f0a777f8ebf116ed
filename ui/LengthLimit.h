// SPDX-License-Identifier: MIT
#pragma once

#include <QValidator>

// The longest expression that the engine evaluates: its positions are
// 16-bit, and one more is formed past the end.
constexpr int kLongestExpression = 32766;

// Refuses, whole, any edit of the user's that would make the box's text
// longer than the engine takes: a paste or a drop is not cut to fit, which
// would leave a text the user never wrote. A handler's own write is let
// through, as the box does with every code write.
class LengthLimit : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*pos*/) const override {
    return input.size() > kLongestExpression ? Invalid : Acceptable;
  }
};
