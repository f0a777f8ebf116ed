// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

class QLabel;
class ScreenReaderWatch;
class QString;
class QWidget;

// Tells a screen reader something that happened away from the focus (an
// answer written into a box that does not have it, an operator chosen, an
// item chosen in the function list, a paste refused), without moving the
// focus and without putting text into the accessible tree that is not on
// screen.
class Announcer : public QObject {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* window);
  ~Announcer() override;

  // about: the control that the text speaks of; the focus if none.
  void Say(const QString& text, QWidget* about = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  // Where the toolkit cannot announce, the text is shown in a note beside
  // the focus, which screen readers speak as it appears; the user's next key
  // or click puts it away.
  // Only while a screen reader runs: nobody else needs the note.
  QPointer<QLabel> note_;
  ScreenReaderWatch* screenReader_ = nullptr;
};
