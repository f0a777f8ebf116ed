// SPDX-License-Identifier: MIT
// clazy:excludeall=qstring-allocations,ctor-missing-parent-argument
// (a test's texts are plain literals, whose allocations cost nothing here;
// QTest makes the test object itself, without a parent)
// What the window tells assistive technology: names, the labels linked to
// the boxes, the selected operator and a stale answer's reason.

#include <QAccessible>
#include <QLabel>

#include "UserActions.h"

class AccessibleTest : public WindowTest {
  Q_OBJECT

  QAccessibleInterface* Accessible(const QString& name) const {
    return QAccessible::queryAccessibleInterface(Find<QWidget>(*window, name));
  }
  QString Description(const QString& name) const {
    return Accessible(name)->text(QAccessible::Description);
  }

 private slots:
  // The label that a screen reader reads before each box.
  void boxesHaveTheirLabels_data() {
    QTest::addColumn<QString>("label");
    QTest::newRow("txtComb") << "Combination:";
    QTest::newRow("txtRes") << "Answer:";
    QTest::newRow("txtK") << "K,ni:";
    QTest::newRow("txtN") << "N:";
    QTest::newRow("ComCom") << "Function";
  }

  void boxesHaveTheirLabels() {
    QFETCH(QString, label);
    const auto labels = Accessible(QTest::currentDataTag())->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.front().first->text(QAccessible::Name), label);
    QCOMPARE(labels.front().first->role(), QAccessible::StaticText);
  }

  // The function list's own label is for screen readers only.
  void functionLabelIsNeverShown() {
    auto* label = Find<QLabel>(*window, "lblFunction");
    QVERIFY(!label->isVisible());
    QVERIFY(!label->hasFocus());
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
  }

  void rolesAndNames_data() {
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("Image1") << int(QAccessible::Graphic) << "Orvane banner";
    QTest::newRow("txtComb") << int(QAccessible::EditableText) << "Expression";
    QTest::newRow("txtRes") << int(QAccessible::EditableText) << "Answer";
  }

  void rolesAndNames() {
    QFETCH(int, role);
    QFETCH(QString, name);
    QCOMPARE(int(Accessible(QTest::currentDataTag())->role()), role);
    QCOMPARE(Accessible(QTest::currentDataTag())->text(QAccessible::Name), name);
  }

  void windowIsAWindow() {
    auto* frame = QAccessible::queryAccessibleInterface(window.get());
    QCOMPARE(frame->role(), QAccessible::Window);
    QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("Orvane"));
  }

  // The disabled button of the pair is the operator that Add uses; the other
  // one is described by its tooltip, as any button is.
  void selectedOperatorIsDescribed() {
    const QString selected = QStringLiteral("Selected operator");
    QVERIFY(Description("CmdCom_0").startsWith(selected));
    QCOMPARE(Description("CmdCom_1"), QStringLiteral("Multiply"));
    Click("CmdCom_1");
    QCOMPARE(Description("CmdCom_0"), QStringLiteral("Add"));
    QVERIFY(Description("CmdCom_1").startsWith(selected));
    Click("CmdCom_0");
    QVERIFY(Description("CmdCom_0").startsWith(selected));
    QCOMPARE(Description("CmdCom_1"), QStringLiteral("Multiply"));
  }

  void staleReasonIsTheAnswersDescription() {
    QVERIFY(Description("txtRes").isEmpty());
    TypeOver(Box("txtComb"), "6/0");
    QTest::keyClick(Box("txtComb"), Qt::Key_Return);
    QCOMPARE(Description("txtRes"), QStringLiteral("Division by zero"));
    TypeOver(Box("txtComb"), "2*3");
    QTest::keyClick(Box("txtComb"), Qt::Key_Return);
    QCOMPARE(Box("txtRes")->text(), QStringLiteral("6"));
    QVERIFY(Description("txtRes").isEmpty());
  }
};

QTEST_MAIN(AccessibleTest)
#include "AccessibleTest.moc"
