// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

// The function list is only 57 pixels wide; the usual drop-down arrow zone
// would leave too little room for its longest item, "Pn1...nk". This style
// gives the arrow a narrow strip and the item text the rest.
class NarrowArrowStyle : public QProxyStyle {
  Q_OBJECT

 public:
  using QProxyStyle::QProxyStyle;

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl part, const QWidget* widget) const override;
};
