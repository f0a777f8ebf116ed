// SPDX-License-Identifier: MIT
#pragma once

class QLineEdit;
class QString;

// Writes a box's whole text and leaves the caret, and any selection, at the
// same distance from the end as before, so that typing inside a number goes
// on where the user was. A plain write would put the caret at the end.
void SetTextKeepingCaret(QLineEdit* box, const QString& text);
