// SPDX-License-Identifier: MIT
#include "CaretKeeper.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

void ReplaceAsEdit(QLineEdit* box, const QString& text) {
  const QString old = box->text();
  if (old == text) return;
  // Only the span that differs is replaced, so that the step is small and
  // the caret lands where the change was.
  const qsizetype shorter = std::min(old.size(), text.size());
  qsizetype head = 0;
  while (head < shorter && old[head] == text[head]) ++head;
  qsizetype tail = 0;
  while (tail < shorter - head && old[old.size() - 1 - tail] == text[text.size() - 1 - tail]) ++tail;
  const auto position = static_cast<int>(head);
  const auto replaced = static_cast<int>(old.size() - head - tail);
  // A move of the caret closes the box's current undo step, so that this
  // edit is a step of its own and not merged with the user's typing.
  if (replaced == 0 && box->cursorPosition() == position && !old.isEmpty())
    box->setCursorPosition(position == 0 ? static_cast<int>(old.size()) : 0);
  box->setSelection(position, replaced);
  if (replaced == 0) box->setCursorPosition(position);
  box->insert(text.mid(head, text.size() - head - tail));
}

bool SetTextKeepingCaret(QLineEdit* box, const QString& text, bool takeBack) {
  if (box->text() == text) return false;
  const qsizetype before = box->text().size();
  const qsizetype caretFromEnd = before - box->cursorPosition();
  qsizetype anchorFromEnd = -1;
  if (box->hasSelectedText()) {
    const qsizetype start = box->selectionStart();
    const qsizetype anchor = box->cursorPosition() == start ? start + box->selectionLength() : start;
    anchorFromEnd = before - anchor;
  }
  if (takeBack && box->isUndoAvailable()) {
    // The text on the way back is no write of the program's and raises no
    // change; the write's own change follows, once.
    {
      const QSignalBlocker quiet(box);
      box->undo();
    }
    if (box->text() == text)
      emit box->textChanged(text);
    else
      ReplaceAsEdit(box, text);
  } else {
    ReplaceAsEdit(box, text);
  }
  // The edits may have run change handlers that wrote again: place the caret
  // in the text as it now stands.
  const qsizetype after = box->text().size();
  const auto place = [after](qsizetype fromEnd) {
    return static_cast<int>(std::clamp<qsizetype>(after - fromEnd, 0, after));
  };
  if (anchorFromEnd >= 0)
    box->setSelection(place(anchorFromEnd), place(caretFromEnd) - place(anchorFromEnd));
  else
    box->setCursorPosition(place(caretFromEnd));
  return true;
}
