// SPDX-License-Identifier: MIT
// clazy:excludeall=qstring-allocations,ctor-missing-parent-argument
// (a test's texts are plain literals, whose allocations cost nothing here;
// QTest makes the test object itself, without a parent)
// Calculating: the Calculate button, Enter in the expression box, the
// read-only answer box, and how a failed calculation shows.

#include <QSignalSpy>

#include "UserActions.h"

class CalculateCommandTest : public WindowTest {
  Q_OBJECT

  // Types an expression over the old one and presses Enter.
  void Calculate(const QString& expression) {
    TypeOver(Box("txtComb"), expression);
    QTest::keyClick(Box("txtComb"), Qt::Key_Return);
  }
  QColor AnswerColour() const { return Box("txtRes")->palette().color(QPalette::Text); }

 private slots:
  void calculates_data() {
    QTest::addColumn<int>("key");  // no key: the Calculate button is clicked
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Calculate button") << 0 << int(Qt::NoModifier);
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+keypad Enter") << int(Qt::Key_Enter) << int(Qt::ControlModifier | Qt::KeypadModifier);
  }

  void calculates() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    auto* expression = Box("txtComb");
    QTest::keyClicks(expression, "c(2,5)*2");
    QSignalSpy expressionWrites(expression, &QLineEdit::textChanged);
    QSignalSpy answerWrites(Box("txtRes"), &QLineEdit::textChanged);
    QSignalSpy keyReachedBox(expression, &QLineEdit::returnPressed);
    if (key)
      QTest::keyClick(expression, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    else
      Click("cmdCalc");
    QCOMPARE(Box("txtRes")->text(), QStringLiteral("20"));
    QCOMPARE(answerWrites.count(), 1);
    QCOMPARE(expression->text(), QStringLiteral("c(2,5)*2"));
    QCOMPARE(expressionWrites.count(), 0);
    QCOMPARE(keyReachedBox.count(), key ? 1 : 0);  // the key is not swallowed
  }

  // Only a calculation writes the answer: neither Enter in the k and n boxes
  // nor editing keys in the answer box, which can still be selected.
  void answerChangesOnlyByCalculating() {
    QTest::keyClicks(Box("txtComb"), "2+3");
    for (const char* name : {"txtK", "txtN"}) {
      QTest::keyClick(Box(name), Qt::Key_Return);
      QTest::keyClick(Box(name), Qt::Key_Return, Qt::ControlModifier);
    }
    auto* answer = Box("txtRes");
    QTest::mouseClick(answer, Qt::LeftButton);
    QVERIFY(answer->hasFocus());
    QTest::keyClicks(answer, "12");
    QTest::keyClick(answer, Qt::Key_Backspace);
    PasteOver(answer, "99");
    QTest::keyClick(answer, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(answer->text(), QStringLiteral("0"));
    SelectAll(answer);
    QCOMPARE(answer->selectedText(), QStringLiteral("0"));
  }

  // A failed calculation keeps the old answer, so that ANS still gives it,
  // but marks it as stale until the next calculation succeeds.
  void failedCalculationShowsStaleAnswer() {
    const QColor normal = AnswerColour();
    auto* answer = Box("txtRes");
    Calculate("C(2,5)+A(2,5)*W(2,5)");
    QCOMPARE(answer->text(), QStringLiteral("510"));
    Calculate("ANS*2");
    QCOMPARE(answer->text(), QStringLiteral("1020"));

    Calculate("6/0");
    QCOMPARE(answer->text(), QStringLiteral("1020"));
    QCOMPARE(AnswerColour(), QColor(140, 0, 0));
    QVERIFY(answer->font().italic());
    QCOMPARE(answer->toolTip(), QStringLiteral("Division by zero"));
    QCOMPARE(answer->geometry(), QRect(80, 56, 225, 19));
    Calculate("6/0");  // still failing: still stale
    QCOMPARE(AnswerColour(), QColor(140, 0, 0));

    Calculate("ANS+1");
    QCOMPARE(answer->text(), QStringLiteral("1021"));
    QCOMPARE(AnswerColour(), normal);
    QVERIFY(!answer->font().italic());
    QVERIFY(answer->toolTip().isEmpty());
    QCOMPARE(answer->palette().color(QPalette::Base), QColor(192, 192, 192));
  }
};

QTEST_MAIN(CalculateCommandTest)
#include "CalculateCommandTest.moc"
