// The window as it opens: layout, texts, colours, focus order, banner.

#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QtEndian>
#include <memory>

#include "FMainComb.h"
#include "UserActions.h"

class StartStateTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void windowIsFixedSizeCentredAndCaptioned();
  void controlGeometry_data();
  void controlGeometry();
  void initialText_data();
  void initialText();
  void onlyThePlusButtonStartsDisabled();
  void coloursAndTooltips();
  void functionListOffersSixItemsAndNoTyping();
  void tabVisitsControlsInOrder();
  void accessibleNames_data();
  void accessibleNames();
  void creditLineFitsOnOneLine();
  void everyCaptionFits();
  void bannerResourceHeader_data();
  void bannerResourceHeader();
  void bannerShownAtNaturalSize();

 private:
  std::unique_ptr<FMainComb> window;
};

void StartStateTest::init() {
  window = std::make_unique<FMainComb>();
  window->show();
  window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void StartStateTest::cleanup() { window.reset(); }

void StartStateTest::windowIsFixedSizeCentredAndCaptioned() {
  QCOMPARE(window->windowTitle(), QStringLiteral("Orvane"));
  QCOMPARE(window->size(), QSize(312, 204));
  window->resize(400, 300);  // what dragging the border asks for
  QCOMPARE(window->size(), QSize(312, 204));

  const QPoint offCentre =
      window->geometry().center() - window->screen()->availableGeometry().center();
  QVERIFY2(offCentre.manhattanLength() <= 1, "window not centred on the screen");
}

void StartStateTest::controlGeometry_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("geometry");
  QTest::newRow("lblFormula") << "lblFormula" << QRect(16, 8, 225, 17);
  QTest::newRow("txtComb") << "txtComb" << QRect(16, 24, 225, 19);
  QTest::newRow("cmdCalc") << "cmdCalc" << QRect(248, 24, 57, 25);
  QTest::newRow("lblAnswer") << "lblAnswer" << QRect(16, 56, 57, 17);
  QTest::newRow("txtRes") << "txtRes" << QRect(80, 56, 225, 19);
  QTest::newRow("CmdCom 0") << "CmdCom_0" << QRect(8, 88, 17, 17);
  QTest::newRow("CmdCom 1") << "CmdCom_1" << QRect(24, 88, 17, 17);
  QTest::newRow("ComCom") << "ComCom" << QRect(48, 88, 57, 21);
  QTest::newRow("lblK") << "lblK" << QRect(112, 88, 25, 17);
  QTest::newRow("txtK") << "txtK" << QRect(136, 88, 49, 19);
  QTest::newRow("lblN") << "lblN" << QRect(192, 88, 17, 17);
  QTest::newRow("txtN") << "txtN" << QRect(208, 88, 41, 19);
  QTest::newRow("cmdAdd") << "cmdAdd" << QRect(256, 88, 49, 25);
  QTest::newRow("Image1") << "Image1" << QRect(16, 128, 286, 48);
  QTest::newRow("lblAbout") << "lblAbout" << QRect(8, 184, 297, 17);
}

void StartStateTest::controlGeometry() {
  QFETCH(QString, name);
  QFETCH(QRect, geometry);
  auto* control = Find<QWidget>(*window, qPrintable(name));
  QCOMPARE(control->geometry(), geometry);
  QVERIFY(control->isVisible());
}

void StartStateTest::initialText_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("text");
  QTest::newRow("lblFormula") << "lblFormula" << "Combination:";
  QTest::newRow("txtComb") << "txtComb" << "";
  QTest::newRow("cmdCalc") << "cmdCalc" << "Calculate";
  QTest::newRow("lblAnswer") << "lblAnswer" << "Answer:";
  QTest::newRow("txtRes") << "txtRes" << "0";
  QTest::newRow("CmdCom 0") << "CmdCom_0" << "+";
  QTest::newRow("CmdCom 1") << "CmdCom_1" << "*";
  QTest::newRow("ComCom") << "ComCom" << "C";
  QTest::newRow("lblK") << "lblK" << "K,ni:";
  QTest::newRow("txtK") << "txtK" << "1";
  QTest::newRow("lblN") << "lblN" << "N:";
  QTest::newRow("txtN") << "txtN" << "1";
  QTest::newRow("cmdAdd") << "cmdAdd" << "Add";
}

void StartStateTest::initialText() {
  QFETCH(QString, name);
  QFETCH(QString, text);
  auto* control = Find<QWidget>(*window, qPrintable(name));
  const char* property = qobject_cast<QComboBox*>(control) ? "currentText" : "text";
  QCOMPARE(control->property(property).toString(), text);
}

void StartStateTest::onlyThePlusButtonStartsDisabled() {
  const auto controls = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  QCOMPARE(controls.size(), 15);
  for (QWidget* control : controls)
    QCOMPARE(control->isEnabled(), control->objectName() != QLatin1String("CmdCom_0"));
}

void StartStateTest::coloursAndTooltips() {
  QCOMPARE(Find<QLineEdit>(*window, "txtRes")->palette().color(QPalette::Base), QColor(192, 192, 192));
  QCOMPARE(Find<QLabel>(*window, "lblAbout")->palette().color(QPalette::WindowText), QColor(0, 0, 192));
  for (const char* name : {"CmdCom_0", "CmdCom_1"}) {
    const QPalette palette = Find<QPushButton>(*window, name)->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
      QCOMPARE(palette.color(group, QPalette::Button), QColor(224, 224, 224));
  }
  QCOMPARE(Find<QPushButton>(*window, "CmdCom_0")->toolTip(), QStringLiteral("Add"));
  QCOMPARE(Find<QPushButton>(*window, "CmdCom_1")->toolTip(), QStringLiteral("Multiply"));
}

void StartStateTest::functionListOffersSixItemsAndNoTyping() {
  auto* list = Find<QComboBox>(*window, "ComCom");
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  QCOMPARE(items, QStringList({"Pn", "A", "W", "C", "TotalC", "Pn1...nk"}));
  QVERIFY(!list->isEditable());
  QTest::keyClicks(list, "xyz");
  QCOMPARE(list->currentText(), QStringLiteral("C"));
}

void StartStateTest::tabVisitsControlsInOrder() {
  QCOMPARE(QApplication::focusWidget(), Find<QWidget>(*window, "txtComb"));
  QStringList visited;
  for (int i = 0; i < 8; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  // Labels and the disabled "+" button never take focus.
  QCOMPARE(visited, QStringList({"txtRes", "cmdCalc", "txtK", "txtN", "ComCom", "cmdAdd",
                                 "CmdCom_1", "txtComb"}));
}

void StartStateTest::accessibleNames_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("accessibleName");
  QTest::newRow("txtComb") << "txtComb" << "Expression";
  QTest::newRow("txtRes") << "txtRes" << "Answer";
  QTest::newRow("txtK") << "txtK" << "K or list of multiplicities";
  QTest::newRow("txtN") << "txtN" << "N";
  QTest::newRow("ComCom") << "ComCom" << "Function";
}

void StartStateTest::accessibleNames() {
  QFETCH(QString, name);
  QFETCH(QString, accessibleName);
  QCOMPARE(Find<QWidget>(*window, qPrintable(name))->accessibleName(), accessibleName);
}

void StartStateTest::creditLineFitsOnOneLine() {
  auto* credit = Find<QLabel>(*window, "lblAbout");
  QVERIFY(!credit->text().isEmpty());
  QVERIFY(!credit->text().contains(u'\n'));
  QVERIFY(!credit->wordWrap());
  const QFontMetrics metrics(credit->font());
  QVERIFY(metrics.horizontalAdvance(credit->text()) <= credit->width());
  QVERIFY(metrics.height() <= credit->height());
}

// The controls have fixed sizes, so a caption too wide for its control is
// clipped. A button's frame takes two pixels a side; the function list draws
// its item one pixel inside the field that the arrow leaves.
void StartStateTest::everyCaptionFits() {
  QList<std::tuple<QWidget*, QString, int>> captions;
  for (QLabel* label : window->findChildren<QLabel*>())
    captions.append({label, label->text(), label->width()});
  for (QPushButton* button : window->findChildren<QPushButton*>())
    captions.append({button, button->text(), button->width() - 4});
  auto* add = Find<QPushButton>(*window, "cmdAdd");
  captions.append({add, QStringLiteral("Multiply"), add->width() - 4});

  auto* list = Find<QComboBox>(*window, "ComCom");
  QStyleOptionComboBox option;
  option.initFrom(list);
  const QRect field =
      list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
  for (int i = 0; i < list->count(); ++i) captions.append({list, list->itemText(i), field.width() - 2});

  for (const auto& [control, text, room] : captions)
    QVERIFY2(control->fontMetrics().horizontalAdvance(text) <= room, qPrintable(text));
}

void StartStateTest::bannerResourceHeader_data() {
  QTest::addColumn<int>("offset");
  QTest::addColumn<int>("bytes");
  QTest::addColumn<quint32>("value");
  QTest::newRow("signature BM") << 0 << 2 << quint32('B' | 'M' << 8);
  QTest::newRow("file size") << 2 << 4 << 1790u;
  QTest::newRow("pixel data offset") << 10 << 4 << 62u;
  QTest::newRow("info header size") << 14 << 4 << 40u;
  QTest::newRow("width") << 18 << 4 << 286u;
  QTest::newRow("height, bottom-up") << 22 << 4 << 48u;
  QTest::newRow("planes") << 26 << 2 << 1u;
  QTest::newRow("bits per pixel") << 28 << 2 << 1u;
  QTest::newRow("uncompressed") << 30 << 4 << 0u;
  QTest::newRow("pixel bytes, 36 a row") << 34 << 4 << 1728u;
  QTest::newRow("palette 0 black") << 54 << 4 << 0x00000000u;
  QTest::newRow("palette 1 white") << 58 << 4 << 0x00ffffffu;
}

void StartStateTest::bannerResourceHeader() {
  QFETCH(int, offset);
  QFETCH(int, bytes);
  QFETCH(quint32, value);
  QFile banner(QStringLiteral(":/banner.bmp"));
  QVERIFY(banner.open(QIODevice::ReadOnly));
  const QByteArray data = banner.readAll();
  QCOMPARE(data.size(), 1790);
  const auto* at = reinterpret_cast<const uchar*>(data.constData()) + offset;
  QCOMPARE(bytes == 2 ? quint32(qFromLittleEndian<quint16>(at)) : qFromLittleEndian<quint32>(at), value);
}

void StartStateTest::bannerShownAtNaturalSize() {
  const QImage banner(QStringLiteral(":/banner.bmp"));
  QCOMPARE(banner.size(), QSize(286, 48));
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

QTEST_MAIN(StartStateTest)
#include "StartStateTest.moc"
