// SPDX-License-Identifier: MIT
// clazy:excludeall=qstring-allocations,ctor-missing-parent-argument
// (a test's texts are plain literals, whose allocations cost nothing here;
// QTest makes the test object itself, without a parent)
// The k and n boxes keeping their numeric form, the expression box refusing
// backslashes, and engine errors inside those handlers.

#include <QApplication>
#include <QMimeData>
#include <QSignalSpy>

#include "CaretKeeper.h"
#include "UserActions.h"

class InputBoxesTest : public WindowTest {
  Q_OBJECT

 private slots:
  // Typing runs the change handler after every key, pasting once for the
  // whole text, so the two can end differently.
  void textIsNormalised_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("function");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::newRow("k: lone minus") << "txtK" << "C" << false << "-" << "0";
    QTest::newRow("k: point swallowed until a digit follows") << "txtK" << "C" << false << "2.50" << "250";
    QTest::newRow("n: exponent letter swallowed") << "txtN" << "C" << false << "1e3" << "13";
    QTest::newRow("k: no number") << "txtK" << "C" << true << "abc" << "0";
    QTest::newRow("k: trailing zero") << "txtK" << "A" << true << "2.50" << "2.5";
    QTest::newRow("k: list cut at the comma") << "txtK" << "W" << true << "3,4" << "3";
    QTest::newRow("k: subsets take no k") << "txtK" << "TotalC" << true << "abc" << "0";
    QTest::newRow("k: multiset list kept") << "txtK" << "Pn1...nk" << true << "1,2,x" << "1,2,x";
    QTest::newRow("n: typed") << "txtN" << "C" << false << "42" << "42";
    QTest::newRow("n: fraction kept") << "txtN" << "C" << true << "2.5" << "2.5";
    QTest::newRow("n: leading zero") << "txtN" << "Pn" << true << "05" << "5";
    QTest::newRow("n: trailing letters") << "txtN" << "TotalC" << true << "12abc" << "12";
    QTest::newRow("n: even for a multiset") << "txtN" << "Pn1...nk" << true << "1,2" << "1";
    QTest::newRow("expression: backslash typed") << "txtComb" << "C" << false << "ab\\c" << "abc";
    QTest::newRow("expression: backslashes pasted") << "txtComb" << "C" << true << "a\\b\\\\c" << "abc";
    QTest::newRow("expression: only backslashes") << "txtComb" << "C" << true << "\\\\" << "";
  }

  void textIsNormalised() {
    QFETCH(QString, box);
    QFETCH(QString, function);
    QFETCH(bool, paste);
    QFETCH(QString, input);
    QFETCH(QString, shown);
    QVERIFY(Choose(function));
    if (paste)
      PasteOver(Box(box), input);
    else
      TypeOver(Box(box), input);
    QCOMPARE(Box(box)->text(), shown);
  }

  void editingKeys() {
    for (const char* name : {"txtK", "txtN"}) {
      TypeOver(Box(name), "35");
      SelectAll(Box(name));
      QTest::keyClick(Box(name), Qt::Key_Backspace);
      QCOMPARE(Box(name)->text(), QStringLiteral("0"));  // an emptied box shows zero
    }
    TypeOver(Box("txtK"), "3");
    QTest::keyClick(Box("txtK"), Qt::Key_Home);
    QTest::keyClicks(Box("txtK"), "-");
    QCOMPARE(Box("txtK")->text(), QStringLiteral("-3"));
  }

  // A rewrite of the text leaves the caret where the user was typing, at the
  // same distance from the end, so that typing inside a number goes on there.
  void caretStaysWhereTyping_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("k: digits inside a number") << "txtK" << "C" << "12" << 1 << "34" << "1342" << 3;
    QTest::newRow("n: digits inside a number") << "txtN" << "C" << "12" << 1 << "34" << "1342" << 3;
    QTest::newRow("n: digits in front") << "txtN" << "C" << "12" << 0 << "9" << "912" << 1;
    QTest::newRow("n: zero in front dropped") << "txtN" << "C" << "5" << 0 << "0" << "5" << 0;
    QTest::newRow("k: minus in front") << "txtK" << "A" << "3" << 0 << "-" << "-3" << 1;
    QTest::newRow("k: letter cuts the number") << "txtK" << "C" << "123" << 1 << "x" << "1" << 0;
    QTest::newRow("k: forced to 0") << "txtK" << "TotalC" << "0" << 0 << "7" << "0" << 0;
    QTest::newRow("expression: backslash inside") << "txtComb" << "C" << "ab" << 1 << "\\c" << "acb" << 2;
  }

  void caretStaysWhereTyping() {
    QFETCH(QString, box);
    QFETCH(QString, function);
    QFETCH(QString, start);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(int, caretAfter);
    QVERIFY(Choose(function));
    PasteOver(Box(box), start);
    QCOMPARE(Box(box)->text(), start);
    QTest::keyClick(Box(box), Qt::Key_Home);
    for (int i = 0; i < caret; ++i) QTest::keyClick(Box(box), Qt::Key_Right);
    QTest::keyClicks(Box(box), keys);
    QCOMPARE(Box(box)->text(), shown);
    QCOMPARE(Box(box)->cursorPosition(), caretAfter);
  }

  // A selection keeps both its ends' distances from the end; ends that would
  // fall before the start stop there.
  void selectionKeptAcrossRewrite_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("selected forwards") << "0123" << 1 << 3 << "123" << "12" << 2;
    QTest::newRow("selected backwards") << "0123" << 3 << 1 << "123" << "12" << 0;
    QTest::newRow("start cut off") << "abcd" << 0 << 2 << "cd" << "" << 0;
    QTest::newRow("text grows") << "12" << 0 << 1 << "x12" << "1" << 2;
  }

  void selectionKeptAcrossRewrite() {
    QFETCH(QString, before);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(QString, after);
    QFETCH(QString, selected);
    QFETCH(int, caretAfter);
    QLineEdit box(before);
    box.setSelection(anchor, caret - anchor);
    SetTextKeepingCaret(&box, after);
    QCOMPARE(box.text(), after);
    QCOMPARE(box.selectedText(), selected);
    QCOMPARE(box.cursorPosition(), caretAfter);
  }

  // The change handler writes into its own box; each write that changes the
  // text runs the handler again before the write returns. A spy connected
  // after the handler therefore sees the innermost run's text first.
  void nestedChangeEvents_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("changes");
    QTest::newRow("k already normal") << "txtK" << "C" << "2" << QStringList{"12"};
    QTest::newRow("k normalised once") << "txtK" << "C" << "x" << QStringList{"1", "1x"};
    QTest::newRow("k forced to 0") << "txtK" << "Pn" << "5" << QStringList{"0", "15"};
    QTest::newRow("k normalised, then forced to 0")
        << "txtK" << "TotalC" << "x" << QStringList{"0", "1", "1x"};
    QTest::newRow("k list untouched") << "txtK" << "Pn1...nk" << "," << QStringList{"1,"};
    QTest::newRow("n normalised once") << "txtN" << "Pn" << "x" << QStringList{"1", "1x"};
    QTest::newRow("expression backslash") << "txtComb" << "C" << "\\" << QStringList{"", "\\"};
  }

  void nestedChangeEvents() {
    QFETCH(QString, box);
    QFETCH(QString, function);
    QFETCH(QString, key);
    QFETCH(QStringList, changes);
    QVERIFY(Choose(function));
    QSignalSpy spy(Box(box), &QLineEdit::textChanged);
    TypeAtEnd(Box(box), key);
    QStringList seen;
    for (const auto& arguments : spy) seen << arguments.at(0).toString();
    QCOMPARE(seen, changes);
  }

  // A number beyond the double range makes the engine fail inside the change
  // handler: the handler stops, the box keeps the text as written, and the
  // window carries on.
  void errorLeavesBoxAsWritten_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("afterwards");
    QTest::newRow("n") << "txtN" << "C" << "7";
    QTest::newRow("k") << "txtK" << "A" << "7";
    QTest::newRow("k, before it is forced to 0") << "txtK" << "Pn" << "0";
  }

  void errorLeavesBoxAsWritten() {
    QFETCH(QString, box);
    QFETCH(QString, function);
    QFETCH(QString, afterwards);
    QVERIFY(Choose(function));
    PasteOver(Box(box), "1E400");
    QCOMPARE(Box(box)->text(), QStringLiteral("1E400"));
    TypeAtEnd(Box(box), "x");
    QCOMPARE(Box(box)->text(), QStringLiteral("1E400x"));
    TypeOver(Box(box), "7");
    QCOMPARE(Box(box)->text(), afterwards);
  }

  // A paste or a drop that would make the expression longer than the engine
  // takes is refused whole, not cut to fit, and the box says why.
  void tooLongInsertIsRefused_data() {
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("taken");
    QTest::newRow("paste that fits") << false << kLongest - 2 << true;
    QTest::newRow("paste one too long") << false << kLongest - 1 << false;
    QTest::newRow("paste far too long") << false << 40000 << false;
    QTest::newRow("drop that fits") << true << kLongest - 2 << true;
    QTest::newRow("drop one too long") << true << kLongest - 1 << false;
  }

  void tooLongInsertIsRefused() {
    QFETCH(bool, drop);
    QFETCH(int, length);
    QFETCH(bool, taken);
    auto* expression = Box("txtComb");
    QTest::keyClicks(expression, "1+");
    const QString inserted(length, u'1');
    if (drop) {
      QMimeData data;
      data.setText(inserted);
      const QPoint at = expression->rect().center();
      QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(expression, &enter);
      QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(expression, &event);
    } else {
      QGuiApplication::clipboard()->setText(inserted);
      QTest::keyClick(expression, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(expression->text(), taken ? "1+" + inserted : QStringLiteral("1+"));
    QCOMPARE(expression->toolTip().contains("32766"), !taken);
    QTest::keyClick(expression, Qt::Key_Backspace);
    QVERIFY(expression->toolTip().isEmpty());
  }

  // A handler's own write is never refused: the Add button may go past the
  // length, and a backslash that it carries in then stays, because removing
  // it fails on a text that long. The next calculation is not disturbed.
  void errorInLongExpressionKeepsItsText() {
    auto* expression = Box("txtComb");
    PasteOver(expression, QString(kLongest - 5, u'1'));
    QVERIFY(Choose("Pn1...nk"));
    TypeOver(Box("txtK"), "\\");
    Click("cmdAdd");
    QCOMPARE(expression->text(), QString(kLongest - 5, u'1') + "+P1(\\)");
    TypeOver(expression, "2+3");
    QTest::keyClick(expression, Qt::Key_Return);
    QCOMPARE(Box("txtRes")->text(), QStringLiteral("5"));
  }

 private:
  static constexpr int kLongest = 32766;
};

QTEST_MAIN(InputBoxesTest)
#include "InputBoxesTest.moc"
