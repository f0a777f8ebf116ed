// Building an expression with the function list, the k and n boxes, the
// operator buttons and the Add button.

#include <memory>

#include "FMainComb.h"
#include "UserActions.h"

class BuilderTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void addAppendsTheChosenTerm_data();
  void addAppendsTheChosenTerm();
  void builderSession();
  void listLeftInKBoxIsUsedVerbatim();
  void operatorButtonsSwitch();

 private:
  QLineEdit* Box(const char* name) const { return Find<QLineEdit>(*window, name); }
  QComboBox* FunctionList() const { return Find<QComboBox>(*window, "ComCom"); }
  QPushButton* Button(const char* name) const { return Find<QPushButton>(*window, name); }

  std::unique_ptr<FMainComb> window;
};

void BuilderTest::init() {
  window = std::make_unique<FMainComb>();
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void BuilderTest::cleanup() { window.reset(); }

void BuilderTest::addAppendsTheChosenTerm_data() {
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
  QTest::newRow("after an opening parenthesis") << "(" << false << "C" << "5" << "2" << "(+C(2,5)";
  QTest::newRow("after an operator") << "3*" << true << "C" << "5" << "2" << "3**C(2,5)";
  QTest::newRow("list taken unchecked") << "" << false << "Pn1...nk" << "1" << "a,,b" << "P1(a,,b)";
  QTest::newRow("backslash from the k box dropped") << "" << false << "Pn1...nk" << "6" << "1\\2,3"
                                                    << "P6(12,3)";
}

void BuilderTest::addAppendsTheChosenTerm() {
  QFETCH(QString, expression);
  QFETCH(bool, multiply);
  QFETCH(QString, function);
  QFETCH(QString, n);
  QFETCH(QString, k);
  QFETCH(QString, result);

  QTest::keyClicks(Box("txtComb"), expression);
  if (multiply) Click(Button("CmdCom_1"));
  QVERIFY(ChooseFunction(FunctionList(), function));
  TypeOver(Box("txtN"), n);
  TypeOver(Box("txtK"), k);
  Click(Button("cmdAdd"));
  QCOMPARE(Box("txtComb")->text(), result);
}

void BuilderTest::builderSession() {
  QVERIFY(ChooseFunction(FunctionList(), "C"));
  TypeOver(Box("txtN"), "5");
  TypeOver(Box("txtK"), "2");
  Click(Button("cmdAdd"));
  QCOMPARE(Box("txtComb")->text(), QStringLiteral("C(2,5)"));

  Click(Button("CmdCom_1"));
  QVERIFY(ChooseFunction(FunctionList(), "Pn"));
  Click(Button("cmdAdd"));
  QCOMPARE(Box("txtComb")->text(), QStringLiteral("C(2,5)*5!"));
  QCOMPARE(Button("cmdAdd")->text(), QStringLiteral("Multiply"));

  Click(Button("CmdCom_0"));
  QVERIFY(ChooseFunction(FunctionList(), "TotalC"));
  TypeOver(Box("txtN"), "4");
  Click(Button("cmdAdd"));
  QCOMPARE(Box("txtComb")->text(), QStringLiteral("C(2,5)*5!+T(4)"));
  QCOMPARE(Button("cmdAdd")->text(), QStringLiteral("Add"));
}

void BuilderTest::listLeftInKBoxIsUsedVerbatim() {
  QVERIFY(ChooseFunction(FunctionList(), "Pn1...nk"));
  TypeOver(Box("txtK"), "2,3");
  TypeOver(Box("txtN"), "5");
  QVERIFY(ChooseFunction(FunctionList(), "C"));  // changes nothing by itself
  QCOMPARE(Box("txtK")->text(), QStringLiteral("2,3"));
  Click(Button("cmdAdd"));
  QCOMPARE(Box("txtComb")->text(), QStringLiteral("C(2,3,5)"));
}

void BuilderTest::operatorButtonsSwitch() {
  auto* plus = Button("CmdCom_0");
  auto* times = Button("CmdCom_1");
  auto* add = Button("cmdAdd");
  QTest::keyClicks(Box("txtComb"), "7");
  const auto state = [&] {
    return QStringList{plus->isEnabled() ? "+ on" : "+ off", times->isEnabled() ? "* on" : "* off",
                       add->text()};
  };

  Click(plus);  // disabled: nothing happens
  QCOMPARE(state(), QStringList({"+ off", "* on", "Add"}));
  Click(times);
  QCOMPARE(state(), QStringList({"+ on", "* off", "Multiply"}));
  Click(times);
  QCOMPARE(state(), QStringList({"+ on", "* off", "Multiply"}));
  Click(plus);
  QCOMPARE(state(), QStringList({"+ off", "* on", "Add"}));
  // The choice waits for the next Add; the expression is untouched.
  QCOMPARE(Box("txtComb")->text(), QStringLiteral("7"));
}

QTEST_MAIN(BuilderTest)
#include "BuilderTest.moc"
