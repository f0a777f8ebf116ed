// SPDX-License-Identifier: MIT
// clazy:excludeall=qstring-allocations,ctor-missing-parent-argument
// (a test's texts are plain literals, whose allocations cost nothing here;
// QTest makes the test object itself, without a parent)
// Building an expression with the function list, the k and n boxes, the
// operator buttons and the Add button.

#include <QApplication>

#include "UserActions.h"

class BuilderTest : public WindowTest {
  Q_OBJECT

 private slots:
  void addAppendsTheChosenTerm_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("multiply");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("n");
    QTest::addColumn<QString>("k");
    QTest::addColumn<QString>("result");
    QTest::newRow("factorial") << "" << false << "Pn" << "5" << "2" << "5!";
    QTest::newRow("arrangements") << "" << false << "A" << "5" << "2" << "A(2,5)";
    QTest::newRow("with repetition") << "" << false << "W" << "5" << "2" << "W(2,5)";
    QTest::newRow("combinations") << "" << false << "C" << "5" << "2" << "C(2,5)";
    QTest::newRow("subsets") << "" << false << "TotalC" << "5" << "2" << "T(5)";
    QTest::newRow("multiset") << "" << false << "Pn1...nk" << "6" << "1,2,3" << "P6(1,2,3)";
    QTest::newRow("after a number") << "2" << false << "Pn1...nk" << "6" << "1,2,3" << "2+P6(1,2,3)";
    QTest::newRow("after a term, multiplied") << "C(2,5)" << true << "Pn" << "5" << "2" << "C(2,5)*5!";
    QTest::newRow("after an opening parenthesis") << "(" << false << "C" << "5" << "2" << "(+C(2,5)";
    QTest::newRow("after an operator") << "3*" << true << "C" << "5" << "2" << "3**C(2,5)";
    QTest::newRow("list taken unchecked") << "" << false << "Pn1...nk" << "1" << "a,,b" << "P1(a,,b)";
    QTest::newRow("backslash from the k box dropped")
        << "" << false << "Pn1...nk" << "6" << "1\\2,3" << "P6(12,3)";
  }

  void addAppendsTheChosenTerm() {
    QFETCH(QString, expression);
    QFETCH(bool, multiply);
    QFETCH(QString, function);
    QFETCH(QString, n);
    QFETCH(QString, k);
    QFETCH(QString, result);
    QTest::keyClicks(Box("txtComb"), expression);
    if (multiply) Click("CmdCom_1");
    QVERIFY(Choose(function));
    TypeOver(Box("txtN"), n);
    TypeOver(Box("txtK"), k);
    Click("cmdAdd");
    QCOMPARE(Box("txtComb")->text(), result);
  }

  void listLeftInKBoxIsUsedVerbatim() {
    QVERIFY(Choose("Pn1...nk"));
    TypeOver(Box("txtK"), "2,3");
    TypeOver(Box("txtN"), "5");
    QVERIFY(Choose("C"));  // changes nothing by itself
    QCOMPARE(Box("txtK")->text(), QStringLiteral("2,3"));
    Click("cmdAdd");
    QCOMPARE(Box("txtComb")->text(), QStringLiteral("C(2,3,5)"));
  }

  void operatorButtonsSwitch() {
    QTest::keyClicks(Box("txtComb"), "7");
    const auto state = [this] {
      return QStringList{Button("CmdCom_0")->isEnabled() ? "+ on" : "+ off",
                         Button("CmdCom_1")->isEnabled() ? "* on" : "* off", Button("cmdAdd")->text()};
    };
    Click("CmdCom_0");  // disabled: nothing happens
    QCOMPARE(state(), QStringList({"+ off", "* on", "Add"}));
    Click("CmdCom_1");
    QCOMPARE(state(), QStringList({"+ on", "* off", "Multiply"}));
    Click("CmdCom_0");
    QCOMPARE(state(), QStringList({"+ off", "* on", "Add"}));
    // The choice waits for the next Add; the expression is untouched.
    QCOMPARE(Box("txtComb")->text(), QStringLiteral("7"));
  }

  // Choosing an operator never leaves the expression selected, ready to be
  // typed over: a click leaves the focus where it was, Space hands it to the
  // other button, so that Space again switches back.
  void operatorSwitchSparesTheExpression_data() {
    QTest::addColumn<bool>("keyboard");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("typedOn");
    QTest::newRow("click") << false << "txtComb" << "C(2,5)7";
    QTest::newRow("Space") << true << "CmdCom_0" << "C(2,5)";
  }

  void operatorSwitchSparesTheExpression() {
    QFETCH(bool, keyboard);
    QFETCH(QString, focus);
    QFETCH(QString, typedOn);
    auto* expression = Box("txtComb");
    QTest::keyClicks(expression, "C(2,5)");
    if (keyboard) {
      Button("CmdCom_1")->setFocus(Qt::TabFocusReason);
      QTest::keyClick(Button("CmdCom_1"), Qt::Key_Space);
    } else {
      Click("CmdCom_1");
    }
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QVERIFY(!expression->hasSelectedText());
    QTest::keyClicks(QApplication::focusWidget(), "7");
    QCOMPARE(expression->text(), typedOn);
    QCOMPARE(Button("cmdAdd")->text(), QStringLiteral("Multiply"));
  }

  // Add is one step of the expression box's undo history: undo takes it
  // back, redo brings it again, and what was typed before stays undoable.
  void addIsUndoable() {
    QLineEdit* box = Box("txtComb");
    QTest::keyClicks(box, "2");
    QVERIFY(Choose("C"));
    Click("cmdAdd");
    QCOMPARE(box->text(), QStringLiteral("2+C(1,1)"));
    const auto press = [box](QKeySequence::StandardKey key) {
      QTest::keySequence(box, key);
      return box->text();
    };
    QCOMPARE(press(QKeySequence::Undo), QStringLiteral("2"));
    QCOMPARE(press(QKeySequence::Undo), QString());
    QCOMPARE(press(QKeySequence::Redo), QStringLiteral("2"));
    QCOMPARE(press(QKeySequence::Redo), QStringLiteral("2+C(1,1)"));
  }

  // A rewrite of a box keeps its history: one undo leads from the
  // rewritten text back to the text before the edit that caused it.
  void rewriteIsUndoable_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("undone");
    QTest::newRow("k box") << "txtK" << "2x" << "12" << "1";
    QTest::newRow("n box") << "txtN" << "5e" << "15" << "1";
    QTest::newRow("expression box") << "txtComb" << "4\\" << "4" << "";
  }

  void rewriteIsUndoable() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, undone);
    QLineEdit* edit = Box(box);
    TypeAtEnd(edit, typed);
    QCOMPARE(edit->text(), shown);
    QTest::keySequence(edit, QKeySequence::Undo);
    QCOMPARE(edit->text(), undone);
  }
};

QTEST_MAIN(BuilderTest)
#include "BuilderTest.moc"
