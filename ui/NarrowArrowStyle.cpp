// SPDX-License-Identifier: MIT
#include "NarrowArrowStyle.h"

#include <QStyleOption>

namespace {
constexpr int kArrowWidth = 9;  // room for the arrow glyph and the right frame
constexpr int kFrameWidth = 2;
}  // namespace

QRect NarrowArrowStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                       SubControl part, const QWidget* widget) const {
  if (control != CC_ComboBox || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField))
    return QProxyStyle::subControlRect(control, option, part, widget);
  const QRect box = option->rect;
  const QRect rect = part == SC_ComboBoxArrow
                         ? QRect(box.right() - kArrowWidth + 1, box.top(), kArrowWidth, box.height())
                         : QRect(box.left() + kFrameWidth, box.top() + kFrameWidth,
                                 box.width() - kArrowWidth - kFrameWidth, box.height() - 2 * kFrameWidth);
  return visualRect(option->direction, box, rect);
}
