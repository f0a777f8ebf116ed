// SPDX-License-Identifier: MIT
#include "FMainComb.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QToolTip>
#include <limits>

#include "Announce.h"
#include "CaretKeeper.h"
#include "Contrast.h"
#include "EngineText.h"
#include "ExpressionTerm.h"
#include "FixedFrame.h"
#include "RunHandler.h"
#include "KeyAscii.h"
#include "LengthLimit.h"
#include "NarrowArrowStyle.h"
#include "Pictures.h"
#include "orvane/Calculate.h"
#include "orvane/NumberText.h"
#include "orvane/StringStuff.h"
#include "ui_FMainComb.h"

using namespace Qt::StringLiterals;

// The banner is compiled into this static library; without a reference to
// its initialiser the linker would leave it out of the program.
static void InitResources() { Q_INIT_RESOURCE(orvane_ui); }

namespace {

// Colours for the text on the form's fixed backgrounds, whatever the
// desktop's palette: black reads on the answer box's grey. A failed
// calculation leaves the old answer in place, so it is shown as stale, in a
// red dark enough to read on the grey (5.5:1), and in italics for those who
// cannot tell the red.
const QColor kAnswerText(0, 0, 0);
const QColor kStaleAnswer(140, 0, 0);
const QColor kOperatorText(0, 0, 0);
// The operator buttons keep their grey and a black caption under any
// palette. The selected one (disabled) is framed in black, pressed in
// look, 15:1 against the other's grey; the other has a mid-grey edge (3.4:1),
// and a dark blue one while it has the focus, so that the two never look alike.
const auto kOperatorLook = uR"(
QPushButton { background-color: rgb(224, 224, 224); color: black; border: 1px solid rgb(118, 118, 118); }
QPushButton:focus { border: 2px solid rgb(0, 0, 160); }
QPushButton:disabled { border: 3px inset black; }
)"_s;
// Behind the dark-blue credit line when the window's own background is too
// dark for it.
const QColor kCreditBacking(240, 240, 240);
// The line that tells what was not read: black on a pale yellow, framed, as
// a notice reads, and never in the failure's red or italics.
const QColor kNoticeText(0, 0, 0);
const QColor kNoticeBacking(255, 250, 205);
constexpr double kTextContrast = 4.5;

constexpr auto kAllGroups = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

// The top-level window is a frame to assistive technology, not a filler.
QAccessibleInterface* WindowAccessible(const QString& className, QObject* object) {
  if (className == "FMainComb"_L1 && object->isWidgetType())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  return nullptr;
}

QByteArray Resource(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The form that the k and n boxes keep their numbers in: '007' is '7', 'abc' is '0'.
QString NumericForm(const QString& text) {
  return FromEngine(orvane::NumberToText(orvane::TextToNumber(ToEngine(text))));
}

}  // namespace

FMainComb::FMainComb(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::FMainComb>()) {
  InitResources();
  static const bool factoryInstalled = (QAccessible::installFactory(WindowAccessible), true);
  Q_UNUSED(factoryInstalled);
  ui->setupUi(this);
  announcer = new Announcer(this);
  // A fixed window: no maximise button. Qt still offers resizing in the
  // window manager hints; showEvent takes that back.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  CmdCom = {ui->CmdCom_0, ui->CmdCom_1};
  // The limit is the validator's alone; the box's own maximum would cut a
  // paste to fit instead of refusing it.
  ui->txtComb->setMaxLength(std::numeric_limits<int>::max());
  ui->txtComb->setValidator(new LengthLimit(ui->txtComb));
  // Lets the narrow function list show its longest item in full.
  auto* comboStyle = new NarrowArrowStyle(style()->name());
  comboStyle->setParent(this);
  ui->ComCom->setStyle(comboStyle);
  SetFixedColours();
  freshAnswerPalette = ui->txtRes->palette();
  MakeNotReadLine();
  ShowPictures();
  MakeAccessible();
  ConnectHandlers();
  RunHandler([this] { Form_Load(); });
  FitToScreen();
  CentreOnScreen();
}

FMainComb::~FMainComb() = default;

void FMainComb::ConnectHandlers() {
  const auto handler = [this](void (FMainComb::*run)()) {
    return [this, run] { RunHandler([this, run] { (this->*run)(); }); };
  };
  connect(ui->cmdAdd, &QPushButton::clicked, this, handler(&FMainComb::cmdAdd_Click));
  connect(ui->cmdCalc, &QPushButton::clicked, this, handler(&FMainComb::cmdCalc_Click));
  for (int index : {0, 1}) {
    connect(CmdCom[index], &QPushButton::clicked, this, [this, index] {
      // Disabling the focused button would send the focus on to the
      // expression box with all its text selected, ready to be typed over.
      // The focus goes to the other button instead, so that Space switches back.
      const bool focused = CmdCom[index]->hasFocus();
      if (focused) CmdCom[index]->clearFocus();
      RunHandler([this, index] { CmdCom_Click(index); });
      if (focused) CmdCom[1 - index]->setFocus(Qt::OtherFocusReason);
      announcer->Say(index == 0 ? u"Add selected"_s : u"Multiply selected"_s);
    });
  }
  connect(ui->ComCom, &QComboBox::currentIndexChanged, this, [this] {
    if (ui->ComCom->hasFocus()) AnnounceFunction();
  });
  connect(ui->txtComb, &QLineEdit::inputRejected, this, &FMainComb::RefuseTooLong);
  connect(ui->txtComb, &QLineEdit::textChanged, this, [this] { ui->txtComb->setToolTip({}); });
  connect(ui->txtComb, &QLineEdit::textChanged, this, handler(&FMainComb::txtComb_Change));
  connect(ui->txtK, &QLineEdit::textChanged, this, handler(&FMainComb::txtK_Change));
  connect(ui->txtN, &QLineEdit::textChanged, this, handler(&FMainComb::txtN_Change));
  // Redo is Ctrl+Shift+Z on every desktop; Ctrl+Y, which some desktops give
  // it too, redoes in every box as well.
  for (QLineEdit* box : {ui->txtComb, ui->txtK, ui->txtN})
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), box, box, &QLineEdit::redo, Qt::WidgetShortcut);
  ui->txtComb->installEventFilter(this);
  ui->ComCom->installEventFilter(this);
  for (QPushButton* button : CmdCom) button->installEventFilter(this);
}

void FMainComb::SetFixedColours() {
  const auto fix = [](QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto group : kAllGroups) palette.setColor(group, role, colour);
    widget->setPalette(palette);
  };
  fix(ui->txtRes, QPalette::Text, kAnswerText);
  for (QPushButton* button : CmdCom) {
    fix(button, QPalette::ButtonText, kOperatorText);
    button->setStyleSheet(kOperatorLook);
  }
  BackCreditLine();
}

// The credit line keeps its dark blue; on a window background too dark for
// it, a light strip goes behind that line alone.
void FMainComb::BackCreditLine() {
  QLabel* credit = ui->lblAbout;
  const QColor text = credit->palette().color(QPalette::WindowText);
  const bool backed = ContrastRatio(text, palette().color(QPalette::Window)) < kTextContrast;
  QPalette palette = credit->palette();
  for (auto group : kAllGroups) {
    if (backed)
      palette.setColor(group, QPalette::Window, kCreditBacking);
    else
      palette.setColor(group, QPalette::Window, this->palette().color(group, QPalette::Window));
  }
  credit->setPalette(palette);
  credit->setAutoFillBackground(backed);
}

void FMainComb::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  OfferNoResize(this);
}

void FMainComb::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The form sets its controls up first; until then there is no credit line.
  const bool newPalette =
      event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange;
  if (newPalette && ui->lblAbout) BackCreditLine();
}

void FMainComb::ShowPictures() {
  ui->Image1->setPixmap(QPixmap::fromImage(DecodeMonoBmp(Resource(u":/banner.bmp"_s))));
  setWindowIcon(QIcon(QPixmap::fromImage(DecodeRgba(Resource(u":/icon.rgba"_s), 64))));
}

void FMainComb::MakeAccessible() {
  // A screen reader names a drop-down list after its current item and finds
  // what it is for through the label linked to it. The function list has no
  // caption on the form, so it gets a label that is linked but never shown.
  auto* functionLabel = new QLabel(u"Function"_s, this);
  functionLabel->setObjectName(u"lblFunction"_s);
  functionLabel->setBuddy(ui->ComCom);
  functionLabel->setGeometry(ui->ComCom->geometry());
  functionLabel->hide();
  DescribeOperator(0);
  DescribeOperator(1);
}

// The selected operator's button is disabled, which a screen reader calls
// "unavailable"; its description says what that means here.
void FMainComb::DescribeOperator(int index) {
  CmdCom[index]->setAccessibleDescription(
      CmdCom[index]->isEnabled() ? QString() : u"Selected operator: Add joins the next term with it"_s);
}

// The form's sizes are for 96 dots per inch. Where the toolkit does not
// scale for the screen itself (its scaling turned off on a denser screen),
// the fonts still grow with the screen's dots per inch, so every control
// grows with them and the window keeps its layout and physical size.
void FMainComb::FitToScreen() {
  const double factor = logicalDpiY() / 96.0;
  if (std::abs(factor - 1.0) < 0.01) return;
  const auto scale = [factor](int pixels) { return static_cast<int>(std::lround(pixels * factor)); };
  for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRect box = control->geometry();
    control->setGeometry(QRect(QPoint(scale(box.left()), scale(box.top())),
                               QPoint(scale(box.left() + box.width()) - 1, scale(box.top() + box.height()) - 1)));
  }
  setFixedSize(scale(width()), scale(height()));
  // The banner keeps its physical size too.
  const QPixmap banner = ui->Image1->pixmap();
  ui->Image1->setPixmap(banner.scaled(ui->Image1->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

bool FMainComb::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    for (int index : {0, 1})
      if (watched == CmdCom[index]) DescribeOperator(index);
  }
  if (watched == ui->ComCom && event->type() == QEvent::FocusIn) AnnounceFunction();
  if (watched == ui->txtComb && event->type() == QEvent::KeyPress) {
    if (const auto code = KeyAscii(*static_cast<QKeyEvent*>(event)))
      RunHandler([this, &code] { txtComb_KeyPress(*code); });
  }
  // Never swallow the key: the box handles it as usual afterwards.
  return QWidget::eventFilter(watched, event);
}

void FMainComb::CentreOnScreen() {
  setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                  screen()->availableGeometry()));
}

void FMainComb::MakeNotReadLine() {
  lblNotRead = new QLabel(this);
  lblNotRead->setObjectName(u"lblNotRead"_s);
  lblNotRead->setGeometry(ui->lblAbout->geometry());
  QPalette palette = lblNotRead->palette();
  for (auto group : kAllGroups) {
    palette.setColor(group, QPalette::WindowText, kNoticeText);
    palette.setColor(group, QPalette::Window, kNoticeBacking);
  }
  lblNotRead->setPalette(palette);
  lblNotRead->setAutoFillBackground(true);
  lblNotRead->setFrameStyle(QFrame::Box | QFrame::Plain);
  lblNotRead->setIndent(4);
  lblNotRead->setTextFormat(Qt::PlainText);
  lblNotRead->hide();
}

// The answer stands as computed; what the arithmetic passed over on its way
// is told with it, so that "2" for "2^3" is not taken for the power; the
// answer box's tooltip and description say all that the line may cut short.
void FMainComb::ShowAnswerFresh(const QStringList& notRead, std::size_t more) {
  QLineEdit* answer = ui->txtRes;
  answer->setPalette(freshAnswerPalette);
  QFont font = answer->font();
  font.setItalic(false);
  answer->setFont(font);
  // A text of many stray pieces is told by a few of them and the number of the others.
  const QString others = more > 0 ? u" and %1 more"_s.arg(more) : QString();
  QStringList quoted;
  for (const QString& piece : notRead) quoted << u'"' + piece + u'"';
  const QString told = quoted.isEmpty() ? QString() : u"Not read: "_s + quoted.join(u", "_s) + others;
  answer->setToolTip(told);
  answer->setAccessibleDescription(told);
  ShowNotReadLine(told);
  const QString said = u"Answer: "_s + answer->text();
  announcer->Say(notRead.isEmpty() ? said : said + u". Not read: "_s + notRead.join(u", "_s) + others, answer);
}

// The line in place of the credit shows as much as fits; empty: the credit again.
void FMainComb::ShowNotReadLine(const QString& told) {
  const int room = lblNotRead->contentsRect().width() - 2 * lblNotRead->indent();
  lblNotRead->setText(lblNotRead->fontMetrics().elidedText(told, Qt::ElideRight, room));
  lblNotRead->setAccessibleName(told);
  lblNotRead->setVisible(!told.isEmpty());
  ui->lblAbout->setVisible(told.isEmpty());
}

void FMainComb::ShowAnswerStale(const QString& reason) {
  QLineEdit* answer = ui->txtRes;
  ShowNotReadLine({});
  QPalette stale = freshAnswerPalette;
  for (auto group : kAllGroups) stale.setColor(group, QPalette::Text, kStaleAnswer);
  answer->setPalette(stale);
  QFont font = answer->font();
  font.setItalic(true);
  answer->setFont(font);
  answer->setToolTip(reason);
  // The answer's text stays as it was, so nothing else would tell a screen
  // reader that this calculation failed: the reason is announced, even when
  // it is the same as last time (then newer Qt versions send no event for the
  // description, which has not changed).
  answer->setAccessibleDescription(reason);
  announcer->Say(reason, answer);
}

// Before Qt 6.8 a drop-down list does not give screen readers its current
// item: they say neither on focus nor when Up or Down changes it which
// function is chosen. With later versions they say it themselves.
void FMainComb::AnnounceFunction() {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
  announcer->Say(u"Function, "_s + ui->ComCom->currentText());
#endif
}

// A paste or drop that the box refused whole: the tooltip says why until the
// text next changes, and a screen reader hears it at once.
void FMainComb::RefuseTooLong() {
  const QString why = u"Not inserted: the expression cannot be longer than %1 characters"_s.arg(kLongestExpression);
  QLineEdit* box = ui->txtComb;
  box->setToolTip(why);
  QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), why, box);
  announcer->Say(why, box);
}

void FMainComb::cmdAdd_Click() {
  const QString term = ExpressionTerm(ui->ComCom->currentText(), ui->txtN->text(), ui->txtK->text());
  // The disabled operator button is the selected operator.
  const QChar op = CmdCom[0]->isEnabled() ? u'*' : u'+';
  // Appended as an edit, so that Undo takes it back and the history before
  // it stays. The length limit is for the user's own edits: the program's
  // write goes through whole.
  QLineEdit* box = ui->txtComb;
  const QValidator* limit = box->validator();
  box->setValidator(nullptr);
  ReplaceAsEdit(box, AppendTerm(box->text(), op, term));
  box->setValidator(limit);
}

void FMainComb::cmdCalc_Click() {
  const orvane::CalcOutcome outcome =
      orvane::Calculate(ToEngine(ui->txtComb->text()), ToEngine(ui->txtRes->text()));
  if (!outcome.answer) {
    ShowAnswerStale(QString::fromStdString(outcome.reason));
    return;
  }
  ui->txtRes->setText(FromEngine(*outcome.answer));
  QStringList notRead;
  for (const orvane::Text& piece : outcome.notRead) notRead << FromEngine(piece);
  ShowAnswerFresh(notRead, outcome.moreNotRead);
}

void FMainComb::CmdCom_Click(int index) {
  CmdCom[index]->setEnabled(false);
  CmdCom[1 - index]->setEnabled(true);
  ui->cmdAdd->setText(index == 0 ? u"Add"_s : u"Multiply"_s);
}

void FMainComb::Form_Load() { ui->ComCom->setCurrentText(u"C"_s); }

void FMainComb::txtComb_Change() {
  // A backslash would collide with the placeholder that evaluation writes
  // into the expression text, so the box never keeps one.
  EditRewrite rewrite(rewriting);
  const QString text = ui->txtComb->text();
  if (text.contains(u'\\'))
    rewrite.Write(ui->txtComb, FromEngine(orvane::StringStuff::RemoveChar(ToEngine(text), u"\\")));
}

void FMainComb::txtComb_KeyPress(int keyAscii) {
  if (keyAscii == 13 || keyAscii == 10) cmdCalc_Click();
}

void FMainComb::txtK_Change() {
  EditRewrite rewrite(rewriting);
  // A multiset's list of multiplicities is kept as typed; k is a number.
  if (ui->ComCom->currentText() != "Pn1...nk"_L1)
    rewrite.Write(ui->txtK, NumericForm(ui->txtK->text()));
  // Factorials and subset totals take no k.
  const QString function = ui->ComCom->currentText();
  if (function == "Pn"_L1 || function == "TotalC"_L1) rewrite.Write(ui->txtK, u"0"_s);
  ui->txtK->repaint();
}

void FMainComb::txtN_Change() {
  EditRewrite rewrite(rewriting);
  rewrite.Write(ui->txtN, NumericForm(ui->txtN->text()));
  ui->txtN->repaint();
}
