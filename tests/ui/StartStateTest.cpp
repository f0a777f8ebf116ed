// SPDX-License-Identifier: MIT
// clazy:excludeall=qstring-allocations,ctor-missing-parent-argument
// (a test's texts are plain literals, whose allocations cost nothing here;
// QTest makes the test object itself, without a parent)
// The window as it opens: layout, texts, colours, focus order, banner.

#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QStyleOptionComboBox>

#include "Contrast.h"
#include "Pictures.h"
#include "UserActions.h"

class StartStateTest : public WindowTest {
  Q_OBJECT

 private slots:
  void windowIsFixedSizeCentredAndCaptioned() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Orvane"));
    int shown = 0;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) shown += child->isVisible();
    QCOMPARE(shown, 15);
    QCOMPARE(window->size(), QSize(312, 204));
    window->resize(400, 300);  // what dragging the border asks for
    QCOMPARE(window->size(), QSize(312, 204));
    const QPoint offCentre = window->geometry().center() - window->screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 1, "window not centred on the screen");
  }

  // One row per control, named by its tag; a null text or accessible name is
  // not checked.
  void controls_data() {
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("accessibleName");
    const QString any;
    QTest::newRow("lblFormula") << QRect(16, 8, 225, 17) << "Combination:" << any;
    QTest::newRow("txtComb") << QRect(16, 24, 225, 19) << "" << "Expression";
    QTest::newRow("cmdCalc") << QRect(248, 24, 57, 25) << "Calculate" << any;
    QTest::newRow("lblAnswer") << QRect(16, 56, 57, 17) << "Answer:" << any;
    QTest::newRow("txtRes") << QRect(80, 56, 225, 19) << "0" << "Answer";
    QTest::newRow("CmdCom_0") << QRect(8, 88, 17, 17) << "+" << any;
    QTest::newRow("CmdCom_1") << QRect(24, 88, 17, 17) << "*" << any;
    QTest::newRow("ComCom") << QRect(48, 88, 57, 21) << "C" << "Function";
    QTest::newRow("lblK") << QRect(112, 88, 25, 17) << "K,ni:" << any;
    QTest::newRow("txtK") << QRect(136, 88, 49, 19) << "1" << "K or list of multiplicities";
    QTest::newRow("lblN") << QRect(192, 88, 17, 17) << "N:" << any;
    QTest::newRow("txtN") << QRect(208, 88, 41, 19) << "1" << "N";
    QTest::newRow("cmdAdd") << QRect(256, 88, 49, 25) << "Add" << any;
    QTest::newRow("Image1") << QRect(16, 128, 286, 48) << "" << any;
    QTest::newRow("lblAbout") << QRect(8, 184, 297, 17) << any << any;  // any one-line credit
  }

  void controls() {
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, accessibleName);
    auto* control = Find<QWidget>(*window, QTest::currentDataTag());
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisible());
    // "+" starts as the chosen operator, so it alone is disabled.
    QCOMPARE(control->isEnabled(), control->objectName() != QLatin1String("CmdCom_0"));
    const char* property = qobject_cast<QComboBox*>(control) ? "currentText" : "text";
    if (!text.isNull()) QCOMPARE(control->property(property).toString(), text);
    if (!accessibleName.isNull()) QCOMPARE(control->accessibleName(), accessibleName);
  }

  void coloursAndTooltips() {
    QCOMPARE(Box("txtRes")->palette().color(QPalette::Base), QColor(192, 192, 192));
    QCOMPARE(Find<QLabel>(*window, "lblAbout")->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    for (const char* name : {"CmdCom_0", "CmdCom_1"}) {
      for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        QCOMPARE(Button(name)->palette().color(group, QPalette::Button), QColor(224, 224, 224));
    }
    QCOMPARE(Button("CmdCom_0")->toolTip(), QStringLiteral("Add"));
    QCOMPARE(Button("CmdCom_1")->toolTip(), QStringLiteral("Multiply"));
  }

  // Text on the form's fixed backgrounds has fixed colours of its own, and
  // the credit line gets a light backing where the window is dark.
  void coloursReadOnAnyPalette_data() {
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<bool>("backed");
    QTest::newRow("light") << QColor(239, 239, 239) << QColor(0, 0, 0) << false;
    QTest::newRow("dark") << QColor(53, 53, 53) << QColor(238, 238, 236) << true;
    QTest::newRow("mid grey") << QColor(128, 128, 128) << QColor(0, 0, 0) << true;
  }

  void coloursReadOnAnyPalette() {
    QFETCH(QColor, background);
    QFETCH(QColor, text);
    QFETCH(bool, backed);
    const QPalette original = QApplication::palette();
    QPalette desktop(text, background);  // button text and button, as a theme would
    desktop.setColor(QPalette::Text, text);
    desktop.setColor(QPalette::Base, background);
    QApplication::setPalette(desktop);
    const FMainComb themed;  // opened on that desktop
    auto* credit = Find<QLabel>(themed, "lblAbout");
    QCOMPARE(themed.palette().color(QPalette::Window), background);
    const bool wasBacked = credit->autoFillBackground();
    const double creditContrast = ContrastRatio(credit->palette().color(QPalette::WindowText),
                                                credit->palette().color(QPalette::Window));
    const QPalette answer = Find<QLineEdit>(themed, "txtRes")->palette();
    QList<double> figures = {ContrastRatio(answer.color(QPalette::Text), answer.color(QPalette::Base))};
    for (const char* name : {"CmdCom_0", "CmdCom_1"}) {
      const QPalette button = Find<QPushButton>(themed, name)->palette();
      for (auto group : {QPalette::Active, QPalette::Disabled})
        figures << ContrastRatio(button.color(group, QPalette::ButtonText), button.color(group, QPalette::Button));
    }
    QApplication::setPalette(original);
    QCOMPARE(wasBacked, backed);
    QCOMPARE(credit->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    QVERIFY2(creditContrast >= 4.5, qPrintable(QString::number(creditContrast)));
    for (double figure : figures) QVERIFY2(figure >= 4.5, qPrintable(QString::number(figure)));
  }

  void functionListOffersSixItemsAndNoTyping() {
    auto* list = Find<QComboBox>(*window, "ComCom");
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    QCOMPARE(items, QStringList({"Pn", "A", "W", "C", "TotalC", "Pn1...nk"}));
    QVERIFY(!list->isEditable());
    QTest::keyClicks(list, "xyz");
    QCOMPARE(list->currentText(), QStringLiteral("C"));
  }

  void tabVisitsControlsInOrder() {
    QCOMPARE(QApplication::focusWidget(), Box("txtComb"));
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->objectName();
    }
    // Labels and the disabled "+" button never take focus.
    QCOMPARE(visited, QStringList({"txtRes", "cmdCalc", "txtK", "txtN", "ComCom", "cmdAdd",
                                   "CmdCom_1", "txtComb"}));
  }

  // The controls have fixed sizes, so a caption too big for its control is
  // clipped; labels, the credit line among them, keep to one line. A button's
  // frame takes two pixels a side; the function list draws its item one pixel
  // inside the field that the arrow leaves.
  void everyCaptionFits() {
    QVERIFY(!Find<QLabel>(*window, "lblAbout")->text().isEmpty());
    QList<std::tuple<QWidget*, QString, int>> captions;
    for (QLabel* label : window->findChildren<QLabel*>()) {
      QVERIFY2(!label->wordWrap() && !label->text().contains(u'\n'), qPrintable(label->objectName()));
      QVERIFY2(label->fontMetrics().height() <= label->height(), qPrintable(label->objectName()));
      captions.append({label, label->text(), label->width()});
    }
    for (QPushButton* button : window->findChildren<QPushButton*>())
      captions.append({button, button->text(), button->width() - 4});
    captions.append({Button("cmdAdd"), QStringLiteral("Multiply"), Button("cmdAdd")->width() - 4});

    auto* list = Find<QComboBox>(*window, "ComCom");
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field =
        list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    for (int i = 0; i < list->count(); ++i) captions.append({list, list->itemText(i), field.width() - 2});

    for (const auto& [control, text, room] : captions)
      QVERIFY2(control->fontMetrics().horizontalAdvance(text) <= room, qPrintable(text));
  }

  // The file's bytes are held to its generator by the banner_matches_generator
  // test; this checks its format and what the window makes of it.
  void bannerShownAtNaturalSize() {
    QFile file(QStringLiteral(":/banner.bmp"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Palette index 0 black, index 1 white, straight after the two headers.
    QCOMPARE(file.readAll().mid(54, 8), QByteArray("\0\0\0\0\xff\xff\xff\0", 8));
    const QImage banner(QStringLiteral(":/banner.bmp"));
    QCOMPARE(banner.size(), QSize(286, 48));
    QCOMPARE(banner.depth(), 1);
    // A drawing, not a blank: both palette colours are used.
    const QImage rgb = banner.convertToFormat(QImage::Format_RGB32);
    int black = 0;
    for (int y = 0; y < rgb.height(); ++y)
      for (int x = 0; x < rgb.width(); ++x) black += rgb.pixelColor(x, y) == Qt::black;
    QVERIFY(black > 0 && black < 286 * 48);

    const QPixmap shown = Find<QLabel>(*window, "Image1")->pixmap();
    QCOMPARE(shown.size(), QSize(286, 48));
    QCOMPARE(shown.toImage().convertToFormat(QImage::Format_RGB32), rgb);
  }

  // The window decodes its pictures itself; what it cannot read it leaves
  // blank rather than guessing.
  void picturesThatAreNotReadAreBlank() {
    QFile file(QStringLiteral(":/banner.bmp"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bmp = file.readAll();
    QVERIFY(!DecodeMonoBmp(bmp).isNull());
    QByteArray colour = bmp;
    colour[28] = 24;  // bits per pixel
    QByteArray compressed = bmp;
    compressed[30] = 1;
    for (const QByteArray& bad : {QByteArray(), bmp.left(100), bmp.left(bmp.size() - 1), colour, compressed,
                                  QByteArray("XM") + bmp.mid(2)})
      QVERIFY(DecodeMonoBmp(bad).isNull());
    QVERIFY(!DecodeRgba(QByteArray(16, 'x'), 2).isNull());
    QVERIFY(DecodeRgba(QByteArray(15, 'x'), 2).isNull());
  }

  // The icon is the application's: opaque in the middle, clear at the corners.
  void windowHasTheAppIcon() {
    const QImage icon = window->windowIcon().pixmap(QSize(64, 64)).toImage();
    QCOMPARE(icon.size(), QSize(64, 64));
    QCOMPARE(icon.pixelColor(32, 32).alpha(), 255);
    QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
  }
};

QTEST_MAIN(StartStateTest)
#include "StartStateTest.moc"
