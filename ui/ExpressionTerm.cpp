// SPDX-License-Identifier: MIT
#include "ExpressionTerm.h"

using namespace Qt::StringLiterals;

QString ExpressionTerm(const QString& function, const QString& n, const QString& k) {
  if (function == "Pn"_L1) return n + u'!';
  if (function == "A"_L1) return u"A("_s + k + u',' + n + u')';
  if (function == "W"_L1) return u"W("_s + k + u',' + n + u')';
  if (function == "C"_L1) return u"C("_s + k + u',' + n + u')';
  if (function == "TotalC"_L1) return u"T("_s + n + u')';
  if (function == "Pn1...nk"_L1) return u'P' + n + u'(' + k + u')';
  return {};
}

QString AppendTerm(const QString& expression, QChar op, const QString& term) {
  if (expression.isEmpty()) return term;
  return expression + op + term;
}
