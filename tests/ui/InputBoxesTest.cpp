// The k and n boxes keeping their numeric form, the expression box refusing
// backslashes, and engine errors inside those handlers.

#include <QSignalSpy>
#include <memory>

#include "FMainComb.h"
#include "UserActions.h"

class InputBoxesTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void pastedTextIsNormalised_data();
  void pastedTextIsNormalised();
  void typedTextIsNormalised_data();
  void typedTextIsNormalised();
  void emptiedBoxShowsZero();
  void minusTypedInFrontOfANumber();
  void nestedChangeEvents_data();
  void nestedChangeEvents();
  void backslashIsRefused_data();
  void backslashIsRefused();
  void errorLeavesBoxAsWritten_data();
  void errorLeavesBoxAsWritten();
  void errorInLongExpressionKeepsItsText();

 private:
  QLineEdit* Box(const QString& name) const { return Find<QLineEdit>(*window, qPrintable(name)); }
  bool Choose(const QString& function) const {
    return ChooseFunction(Find<QComboBox>(*window, "ComCom"), function);
  }

  std::unique_ptr<FMainComb> window;
};

void InputBoxesTest::init() {
  window = std::make_unique<FMainComb>();
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void InputBoxesTest::cleanup() { window.reset(); }

void InputBoxesTest::pastedTextIsNormalised_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("function");
  QTest::addColumn<QString>("pasted");
  QTest::addColumn<QString>("shown");
  QTest::newRow("k: leading zeros") << "txtK" << "C" << "007" << "7";
  QTest::newRow("k: trailing zero") << "txtK" << "A" << "2.50" << "2.5";
  QTest::newRow("k: list cut at the comma") << "txtK" << "W" << "3,4" << "3";
  QTest::newRow("k: exponent") << "txtK" << "C" << "1e3" << "1000";
  QTest::newRow("k: no number") << "txtK" << "C" << "abc" << "0";
  QTest::newRow("k: factorial takes no k") << "txtK" << "Pn" << "12" << "0";
  QTest::newRow("k: subsets take no k") << "txtK" << "TotalC" << "abc" << "0";
  QTest::newRow("k: multiset list kept") << "txtK" << "Pn1...nk" << "1,2,x" << "1,2,x";
  QTest::newRow("n: no number") << "txtN" << "C" << "abc" << "0";
  QTest::newRow("n: exponent") << "txtN" << "C" << "1e3" << "1000";
  QTest::newRow("n: fraction kept") << "txtN" << "C" << "2.5" << "2.5";
  QTest::newRow("n: leading zero") << "txtN" << "Pn" << "05" << "5";
  QTest::newRow("n: trailing letters") << "txtN" << "TotalC" << "12abc" << "12";
  QTest::newRow("n: even for a multiset") << "txtN" << "Pn1...nk" << "1,2" << "1";
}

void InputBoxesTest::pastedTextIsNormalised() {
  QFETCH(QString, box);
  QFETCH(QString, function);
  QFETCH(QString, pasted);
  QFETCH(QString, shown);
  QVERIFY(Choose(function));
  PasteOver(Box(box), pasted);
  QCOMPARE(Box(box)->text(), shown);
}

void InputBoxesTest::typedTextIsNormalised_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("function");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("shown");
  QTest::newRow("k: lone minus") << "txtK" << "C" << "-" << "0";
  QTest::newRow("k: letter after a digit") << "txtK" << "C" << "4x" << "4";
  QTest::newRow("k: point swallowed until a digit follows") << "txtK" << "C" << "2.5" << "25";
  QTest::newRow("k: every key gives 0 for a factorial") << "txtK" << "Pn" << "57" << "0";
  QTest::newRow("k: every key gives 0 for subsets") << "txtK" << "TotalC" << "9" << "0";
  QTest::newRow("k: multiset list typed") << "txtK" << "Pn1...nk" << "1,2,3" << "1,2,3";
  QTest::newRow("n: letters") << "txtN" << "C" << "abc" << "0";
  QTest::newRow("n: number") << "txtN" << "C" << "42" << "42";
}

void InputBoxesTest::typedTextIsNormalised() {
  QFETCH(QString, box);
  QFETCH(QString, function);
  QFETCH(QString, keys);
  QFETCH(QString, shown);
  QVERIFY(Choose(function));
  TypeOver(Box(box), keys);
  QCOMPARE(Box(box)->text(), shown);
}

void InputBoxesTest::emptiedBoxShowsZero() {
  for (const char* name : {"txtK", "txtN"}) {
    TypeOver(Box(name), "35");
    SelectAll(Box(name));
    QTest::keyClick(Box(name), Qt::Key_Backspace);
    QCOMPARE(Box(name)->text(), QStringLiteral("0"));
  }
}

void InputBoxesTest::minusTypedInFrontOfANumber() {
  TypeOver(Box("txtK"), "3");
  QTest::keyClick(Box("txtK"), Qt::Key_Home);
  QTest::keyClicks(Box("txtK"), "-");
  QCOMPARE(Box("txtK")->text(), QStringLiteral("-3"));
}

// The change handler writes into its own box; each write that changes the
// text runs the handler again before the write returns. A spy connected after
// the handler therefore sees the innermost run's text first.
void InputBoxesTest::nestedChangeEvents_data() {
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

void InputBoxesTest::nestedChangeEvents() {
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

void InputBoxesTest::backslashIsRefused_data() {
  QTest::addColumn<bool>("paste");
  QTest::addColumn<QString>("input");
  QTest::addColumn<QString>("shown");
  QTest::newRow("typed") << false << "ab\\c" << "abc";
  QTest::newRow("pasted") << true << "a\\b\\\\c" << "abc";
  QTest::newRow("pasted alone") << true << "\\\\" << "";
}

void InputBoxesTest::backslashIsRefused() {
  QFETCH(bool, paste);
  QFETCH(QString, input);
  QFETCH(QString, shown);
  auto* expression = Box("txtComb");
  if (paste)
    PasteOver(expression, input);
  else
    QTest::keyClicks(expression, input);
  QCOMPARE(expression->text(), shown);
}

// A number beyond the double range makes the engine fail inside the change
// handler: the handler stops, the box keeps the text as written, and the
// window carries on.
void InputBoxesTest::errorLeavesBoxAsWritten_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("function");
  QTest::addColumn<QString>("afterwards");
  QTest::newRow("n") << "txtN" << "C" << "7";
  QTest::newRow("k") << "txtK" << "A" << "7";
  QTest::newRow("k, before it is forced to 0") << "txtK" << "Pn" << "0";
}

void InputBoxesTest::errorLeavesBoxAsWritten() {
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

// The longest text the box holds is one character beyond what the
// backslash removal accepts.
void InputBoxesTest::errorInLongExpressionKeepsItsText() {
  auto* expression = Box("txtComb");
  const QString longText = QString(32766, u'1') + u'\\';
  PasteOver(expression, longText);
  QCOMPARE(expression->text(), longText);

  TypeOver(expression, "2+3");
  QTest::keyClick(expression, Qt::Key_Return);
  QCOMPARE(Box("txtRes")->text(), QStringLiteral("5"));
}

QTEST_MAIN(InputBoxesTest)
#include "InputBoxesTest.moc"
