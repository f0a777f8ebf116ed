// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The counting term that the Add button appends for a function-list item,
// built from the n and k boxes' texts exactly as they stand.
QString ExpressionTerm(const QString& function, const QString& n, const QString& k);

// The expression after appending a term: the operator joins it to any
// earlier text, whatever that text ends in.
QString AppendTerm(const QString& expression, QChar op, const QString& term);
