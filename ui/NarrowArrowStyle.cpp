// SPDX-License-Identifier: MIT
#include "NarrowArrowStyle.h"

#include <QStyleOption>
#include <QWidget>
#include <cmath>

namespace {
constexpr int kArrowWidth = 9;  // room for the arrow glyph and the right frame
constexpr int kFrameWidth = 2;
}  // namespace

QRect NarrowArrowStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                       SubControl part, const QWidget* widget) const {
  if (control != CC_ComboBox || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField))
    return QProxyStyle::subControlRect(control, option, part, widget);
  // Sized for 96 dots per inch; grows with the fonts where the toolkit does not scale.
  const double scale = widget ? widget->logicalDpiX() / 96.0 : 1.0;
  const int arrowWidth = static_cast<int>(std::lround(kArrowWidth * scale));
  const int frameWidth = static_cast<int>(std::lround(kFrameWidth * scale));
  const QRect box = option->rect;
  const QRect rect = part == SC_ComboBoxArrow
                         ? QRect(box.right() - arrowWidth + 1, box.top(), arrowWidth, box.height())
                         : QRect(box.left() + frameWidth, box.top() + frameWidth,
                                 box.width() - arrowWidth - frameWidth, box.height() - 2 * frameWidth);
  return visualRect(option->direction, box, rect);
}
