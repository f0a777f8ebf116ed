// SPDX-License-Identifier: MIT
#include "CaretKeeper.h"

#include <QLineEdit>
#include <algorithm>

void SetTextKeepingCaret(QLineEdit* box, const QString& text) {
  const qsizetype before = box->text().size();
  const qsizetype caretFromEnd = before - box->cursorPosition();
  qsizetype anchorFromEnd = -1;
  if (box->hasSelectedText()) {
    const qsizetype start = box->selectionStart();
    const qsizetype anchor = box->cursorPosition() == start ? start + box->selectionLength() : start;
    anchorFromEnd = before - anchor;
  }
  box->setText(text);
  // The write may have run change handlers that wrote again: place the caret
  // in the text as it now stands.
  const qsizetype after = box->text().size();
  const auto place = [after](qsizetype fromEnd) {
    return static_cast<int>(std::clamp<qsizetype>(after - fromEnd, 0, after));
  };
  if (anchorFromEnd >= 0)
    box->setSelection(place(anchorFromEnd), place(caretFromEnd) - place(anchorFromEnd));
  else
    box->setCursorPosition(place(caretFromEnd));
}
