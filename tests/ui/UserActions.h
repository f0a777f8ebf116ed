// SPDX-License-Identifier: MIT
// clazy:excludeall=qstring-allocations,ctor-missing-parent-argument
// (a test's texts are plain literals, whose allocations cost nothing here;
// QTest makes the test object itself, without a parent)
#pragma once

// What a user does to the window, as key presses and clicks, so that the
// tests go through the same events as a real session.

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "FMainComb.h"

// A control by its object name; a missing one is a broken form, not a
// failed expectation.
template <class Widget>
Widget* Find(const QWidget& window, const QString& name) {
  auto* widget = window.findChild<Widget*>(name);
  if (!widget) qFatal("no control named %s", qPrintable(name));
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

// Each test function gets a freshly opened window, active as at start-up.
class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window = std::make_unique<FMainComb>();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
  }
  void cleanup() { window.reset(); }

 protected:
  QLineEdit* Box(const QString& name) const { return Find<QLineEdit>(*window, name); }
  QPushButton* Button(const QString& name) const { return Find<QPushButton>(*window, name); }
  void Click(const QString& button) const { QTest::mouseClick(Button(button), Qt::LeftButton); }

  // Picks an item of the function list with the keyboard; false if the list
  // never reaches it.
  bool Choose(const QString& function) const {
    auto* list = Find<QComboBox>(*window, "ComCom");
    QTest::keyClick(list, Qt::Key_Home);
    for (int step = 0; step < list->count() && list->currentText() != function; ++step)
      QTest::keyClick(list, Qt::Key_Down);
    return list->currentText() == function;
  }

  std::unique_ptr<FMainComb> window;
};
