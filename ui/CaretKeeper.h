// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QLineEdit;

// Writes a box's whole text and leaves the caret, and any selection, at the
// same distance from the end as before, so that typing inside a number goes
// on where the user was. A plain write would put the caret at the end, and
// clear the box's undo history too: this write is an edit that the history
// keeps. Writing the text that the box already holds changes nothing;
// returns whether the text changed.
//
// takeBack: the text is what the user's last edit made of the box, and the
// write rewrites it. That edit is undone first, so that the rewrite replaces
// it in the history and one undo leads from the rewritten text straight
// back to the text before the user's edit.
bool SetTextKeepingCaret(QLineEdit* box, const QString& text, bool takeBack = false);

// Replaces the box's text by an edit of its own, which undo and redo cover,
// as one step of the history that is not merged with the user's typing.
void ReplaceAsEdit(QLineEdit* box, const QString& text);

// The writes of one change handler run. Only the outermost run, the one
// that the user's edit raised, takes that edit back, and only with its
// first write that changes the text; the runs that its writes raise in turn
// leave the history as it is.
class EditRewrite {
 public:
  explicit EditRewrite(bool& busy) : busy_(busy), outer_(!busy) { busy_ = true; }
  ~EditRewrite() {
    if (outer_) busy_ = false;
  }
  EditRewrite(const EditRewrite&) = delete;
  EditRewrite& operator=(const EditRewrite&) = delete;

  void Write(QLineEdit* box, const QString& text) {
    if (SetTextKeepingCaret(box, text, outer_ && !wrote_)) wrote_ = true;
  }

 private:
  bool& busy_;
  const bool outer_;
  bool wrote_ = false;
};
