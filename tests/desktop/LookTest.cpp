// SPDX-License-Identifier: MIT
// clazy:excludeall=qstring-allocations,ctor-missing-parent-argument
// (a test's texts are plain literals, whose allocations cost nothing here;
// QTest makes the test object itself, without a parent)
// The real window on an X server, as the desktop's palette and scale make
// it: every text must stand out from what is behind it, and fit its control.
// Each run sees one palette and one scale, set by its environment; with
// ORVANE_SCREENSHOT=FILE.png it also saves what it saw (a stale answer in
// FILE-stale.png).

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QWindow>
#include <map>
#include <memory>

#include "Contrast.h"
#include "FMainComb.h"

namespace {

// The colour behind a text (the most frequent one in its area) and the text's
// own colour (the most frequent among the pixels that stand out most from it).
double TextContrast(const QImage& area) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x) ++counts[area.pixel(x, y)];
  QRgb background = 0;
  int most = 0;
  for (const auto& [rgb, count] : counts)
    if (count > most) std::tie(background, most) = std::tie(rgb, count);
  double strongest = 1;
  for (const auto& [rgb, count] : counts) strongest = std::max(strongest, ContrastRatio(rgb, background));
  // Anti-aliased edges lie between the two; the strokes' cores carry the colour.
  QRgb text = background;
  int textCount = 0;
  for (const auto& [rgb, count] : counts) {
    if (ContrastRatio(rgb, background) >= 1 + (strongest - 1) * 0.8 && count > textCount)
      std::tie(text, textCount) = std::tie(rgb, count);
  }
  return ContrastRatio(text, background);
}

}  // namespace

class LookTest : public QObject {
  Q_OBJECT

  std::unique_ptr<FMainComb> window;

  template <class Widget>
  Widget* Find(const char* name) const {
    auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control named %s", name);
    return widget;
  }

  void Calculate(const QString& expression) {
    auto* box = Find<QLineEdit>("txtComb");
    box->selectAll();
    QTest::keyClicks(box, expression);
    QTest::keyClick(box, Qt::Key_Return);
  }

  // What the X server shows of the window, in its own pixels.
  // Taken once two pictures a moment apart agree, so that the last repaint
  // has reached the server even on a busy machine.
  QImage Shown() const {
    const auto grab = [this] {
      return window->screen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    };
    QImage last = grab();
    for (int attempt = 0; attempt < 30; ++attempt) {
      QTest::qWait(100);
      QImage next = grab();
      if (next == last) break;
      last = std::move(next);
    }
    return last;
  }

  // The part of a control where its text stands, clear of frames and bevels,
  // in the picture's pixels.
  QRect TextArea(QWidget* control, qreal ratio) const {
    QRect area = control->rect();
    if (auto* list = qobject_cast<QComboBox*>(control)) {
      QStyleOptionComboBox option;
      option.initFrom(list);
      area = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    } else if (!qobject_cast<QLabel*>(control)) {
      area = area.marginsRemoved(QMargins(3, 3, 3, 3));
    }
    area.translate(control->mapTo(window.get(), QPoint(0, 0)));
    return QRect((QPointF(area.topLeft()) * ratio).toPoint(), (QSizeF(area.size()) * ratio).toSize())
        .marginsRemoved(QMargins(1, 1, 1, 1));
  }

  void CheckContrast(const char* when) {
    const QImage shown = Shown();
    const qreal ratio = shown.width() / qreal(window->width());
    const QByteArray file = qgetenv("ORVANE_SCREENSHOT");
    if (!file.isEmpty()) {
      QString path = QString::fromLocal8Bit(file);
      if (QByteArray(when) != "fresh") path.replace(QStringLiteral(".png"), QStringLiteral("-%1.png").arg(QLatin1String(when)));
      QVERIFY(shown.save(path));
    }
    for (const char* name : {"lblFormula", "txtComb", "cmdCalc", "lblAnswer", "txtRes", "CmdCom_0", "CmdCom_1",
                             "ComCom", "lblK", "txtK", "lblN", "txtN", "cmdAdd", "lblAbout", "lblNotRead"}) {
      auto* control = Find<QWidget>(name);
      if (!control->isVisible()) continue;
      const double contrast = TextContrast(shown.copy(TextArea(control, ratio)));
      // The disabled button of the operator pair is the selected operator.
      const double needed = control->isEnabled() ? 4.5 : 3.0;
      const QByteArray message = QByteArray(when) + ' ' + name + ": " + QByteArray::number(contrast, 'f', 2) +
                                 ":1, needs " + QByteArray::number(needed);
      qInfo("%s", message.constData());
      QVERIFY2(contrast >= needed, message.constData());
    }
    // The selected operator ("+" at start) looks pressed: its edge stands out
    // from the other button's edge at the same place.
    const auto edge = [&](const char* name) {
      auto* button = Find<QWidget>(name);
      const QPoint at = button->mapTo(window.get(), QPoint(1, button->height() / 2));
      return shown.pixel((QPointF(at) * ratio).toPoint());
    };
    const double selected = ContrastRatio(edge("CmdCom_0"), edge("CmdCom_1"));
    QVERIFY2(selected >= 3.0, qPrintable(QStringLiteral("selected operator %1:1").arg(selected)));
  }

 private slots:
  void init() {
    window = std::make_unique<FMainComb>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QTest::keyClicks(Find<QLineEdit>("txtComb"), "C(2,5)");
  }
  void cleanup() { window.reset(); }

  void freshAnswerReads() {
    Calculate("C(2,5)+A(2,5)*W(2,5)");
    QCOMPARE(Find<QLineEdit>("txtRes")->text(), QStringLiteral("510"));
    CheckContrast("fresh");
  }

  void staleAnswerReads() {
    Calculate("C(2,5)");
    Calculate("6/0");
    QCOMPARE(Find<QLineEdit>("txtRes")->text(), QStringLiteral("10"));
    QVERIFY(!Find<QLineEdit>("txtRes")->toolTip().isEmpty());
    CheckContrast("stale");
  }

  // What a calculation passed over is told in place of the credit line,
  // readable and whole, and goes again with the next fully read answer.
  void notReadReads() {
    Calculate("2^3");
    QCOMPARE(Find<QLineEdit>("txtRes")->text(), QStringLiteral("2"));
    auto* line = Find<QLabel>("lblNotRead");
    QVERIFY(line->isVisible());
    QCOMPARE(line->text(), QStringLiteral("Not read: \"^3\""));
    QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->contentsRect().width());
    CheckContrast("notread");
    Calculate("C(2,5)+1");
    QVERIFY(!line->isVisible());
    QVERIFY(Find<QLabel>("lblAbout")->isVisible());
  }

  // Controls keep their sizes, so a caption wider than its control would be
  // cut. A button's frame takes two pixels a side (more where the fonts grew
  // with the screen); the function list draws its item inside the field
  // that the arrow leaves.
  void everyTextFits() {
    const int frame = int(std::lround(2 * window->logicalDpiX() / 96.0));
    QList<std::tuple<QWidget*, QString, int>> texts;
    for (QLabel* label : window->findChildren<QLabel*>()) {
      if (!label->isVisible()) continue;
      QVERIFY2(label->fontMetrics().height() <= label->height(), qPrintable(label->objectName()));
      texts.append({label, label->text(), label->width()});
    }
    for (QPushButton* button : window->findChildren<QPushButton*>())
      texts.append({button, button->text(), button->width() - 2 * frame});
    auto* add = Find<QPushButton>("cmdAdd");
    texts.append({add, QStringLiteral("Multiply"), add->width() - 2 * frame});
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
      QVERIFY2(box->fontMetrics().height() <= box->height() - 2, qPrintable(box->objectName()));
    auto* list = Find<QComboBox>("ComCom");
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field =
        list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    for (int i = 0; i < list->count(); ++i) texts.append({list, list->itemText(i), field.width() - 2});
    for (const auto& [control, text, room] : texts) {
      const int needed = control->fontMetrics().horizontalAdvance(text);
      QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1 needs %2 of %3").arg(text).arg(needed).arg(room)));
    }
  }

  // The layout keeps its proportions at any density: the window and each
  // control grow alike.
  void layoutKeepsItsShape() {
    const double grown = window->width() / 312.0;
    QVERIFY(std::abs(window->height() / 204.0 - grown) < 0.02);
    const QRect banner = Find<QLabel>("Image1")->geometry();
    QVERIFY(std::abs(banner.width() / 286.0 - grown) < 0.02);
    QVERIFY(window->geometry().width() <= window->screen()->availableGeometry().width());
  }
};

QTEST_MAIN(LookTest)
#include "LookTest.moc"
