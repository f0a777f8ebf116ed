#pragma once

// What a user does to the window, as key presses and clicks, so that the
// tests go through the same events as a real session.

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// A control by its object name; a missing one is a broken form, not a
// failed expectation.
template <class Widget>
Widget* Find(const QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
  if (!widget) qFatal("no control named %s", name);
  return widget;
}

inline void SelectAll(QLineEdit* box) { QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier); }

// Replaces the whole text by typing, one key at a time.
inline void TypeOver(QLineEdit* box, const QString& keys) {
  SelectAll(box);
  QTest::keyClicks(box, keys);
}

// Types at the end of the text.
inline void TypeAtEnd(QLineEdit* box, const QString& keys) {
  QTest::keyClick(box, Qt::Key_End);
  QTest::keyClicks(box, keys);
}

// Replaces the whole text in one change, through the clipboard.
inline void PasteOver(QLineEdit* box, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  SelectAll(box);
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

// Picks an item of the function list with the keyboard; false if the list
// never reaches it.
inline bool ChooseFunction(QComboBox* list, const QString& item) {
  QTest::keyClick(list, Qt::Key_Home);
  for (int step = 0; step < list->count() && list->currentText() != item; ++step)
    QTest::keyClick(list, Qt::Key_Down);
  return list->currentText() == item;
}

inline void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
