// Calculating: the Calculate button, Enter in the expression box, the
// read-only answer box, and how a failed calculation shows.

#include <QSignalSpy>
#include <memory>

#include "FMainComb.h"
#include "UserActions.h"

class CalculateCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void enterCalculates_data();
  void enterCalculates();
  void calculateButtonCalculates();
  void enterInNumberBoxesDoesNothing_data();
  void enterInNumberBoxesDoesNothing();
  void answerBoxIsReadOnlyButSelectable();
  void failedCalculationShowsStaleAnswer();

 private:
  QLineEdit* Box(const QString& name) const { return Find<QLineEdit>(*window, qPrintable(name)); }
  // Types an expression over the old one and presses Enter.
  void Calculate(const QString& expression) {
    TypeOver(Box("txtComb"), expression);
    QTest::keyClick(Box("txtComb"), Qt::Key_Return);
  }
  QColor AnswerColour() const { return Box("txtRes")->palette().color(QPalette::Text); }

  std::unique_ptr<FMainComb> window;
};

void CalculateCommandTest::init() {
  window = std::make_unique<FMainComb>();
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void CalculateCommandTest::cleanup() { window.reset(); }

void CalculateCommandTest::enterCalculates_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
  QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
  QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier);
  QTest::newRow("Ctrl+keypad Enter") << int(Qt::Key_Enter) << int(Qt::ControlModifier | Qt::KeypadModifier);
}

void CalculateCommandTest::enterCalculates() {
  QFETCH(int, key);
  QFETCH(int, modifiers);
  auto* expression = Box("txtComb");
  QTest::keyClicks(expression, "c(2,5)*2");
  QSignalSpy expressionWrites(expression, &QLineEdit::textChanged);
  QSignalSpy keyReachedBox(expression, &QLineEdit::returnPressed);
  QTest::keyClick(expression, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
  QCOMPARE(Box("txtRes")->text(), QStringLiteral("20"));
  QCOMPARE(expression->text(), QStringLiteral("c(2,5)*2"));
  QCOMPARE(expressionWrites.count(), 0);
  QCOMPARE(keyReachedBox.count(), 1);  // not swallowed
}

void CalculateCommandTest::calculateButtonCalculates() {
  QTest::keyClicks(Box("txtComb"), "P6(1,2,3)");
  QSignalSpy answerWrites(Box("txtRes"), &QLineEdit::textChanged);
  Click(Find<QPushButton>(*window, "cmdCalc"));
  QCOMPARE(Box("txtRes")->text(), QStringLiteral("60"));
  QCOMPARE(answerWrites.count(), 1);
  QCOMPARE(Box("txtComb")->text(), QStringLiteral("P6(1,2,3)"));
}

void CalculateCommandTest::enterInNumberBoxesDoesNothing_data() {
  QTest::addColumn<QString>("box");
  QTest::newRow("k box") << "txtK";
  QTest::newRow("n box") << "txtN";
}

void CalculateCommandTest::enterInNumberBoxesDoesNothing() {
  QFETCH(QString, box);
  QTest::keyClicks(Box("txtComb"), "2+3");
  QTest::keyClick(Box(box), Qt::Key_Return);
  QTest::keyClick(Box(box), Qt::Key_Return, Qt::ControlModifier);
  QCOMPARE(Box("txtRes")->text(), QStringLiteral("0"));
}

void CalculateCommandTest::answerBoxIsReadOnlyButSelectable() {
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
void CalculateCommandTest::failedCalculationShowsStaleAnswer() {
  const QColor normal = AnswerColour();
  auto* answer = Box("txtRes");

  Calculate("C(2,5)+A(2,5)*W(2,5)");
  QCOMPARE(answer->text(), QStringLiteral("510"));
  Calculate("ANS*2");
  QCOMPARE(answer->text(), QStringLiteral("1020"));

  Calculate("6/0");
  QCOMPARE(answer->text(), QStringLiteral("1020"));
  QCOMPARE(AnswerColour(), QColor(192, 0, 0));
  QCOMPARE(answer->toolTip(), QStringLiteral("Division by zero"));
  QCOMPARE(answer->geometry(), QRect(80, 56, 225, 19));

  Calculate("6/0");  // still failing: still stale
  QCOMPARE(AnswerColour(), QColor(192, 0, 0));

  Calculate("ANS+1");
  QCOMPARE(answer->text(), QStringLiteral("1021"));
  QCOMPARE(AnswerColour(), normal);
  QVERIFY(answer->toolTip().isEmpty());

  Calculate("6/0");
  Calculate("5!");
  QCOMPARE(answer->text(), QStringLiteral("120"));
  QCOMPARE(AnswerColour(), normal);
  QVERIFY(answer->toolTip().isEmpty());
  QCOMPARE(answer->palette().color(QPalette::Base), QColor(192, 192, 192));
}

QTEST_MAIN(CalculateCommandTest)
#include "CalculateCommandTest.moc"
