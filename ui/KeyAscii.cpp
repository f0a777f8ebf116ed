// SPDX-License-Identifier: MIT
#include "KeyAscii.h"

#include <QKeyEvent>

std::optional<int> KeyAscii(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
    return event.modifiers().testFlag(Qt::ControlModifier) ? 10 : 13;
  const QString text = event.text();
  if (text.isEmpty()) return std::nullopt;
  return text.front().unicode();
}
