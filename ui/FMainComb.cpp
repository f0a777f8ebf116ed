// SPDX-License-Identifier: MIT
#include "FMainComb.h"

#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

#include "EngineText.h"
#include "ExpressionTerm.h"
#include "RunHandler.h"
#include "KeyAscii.h"
#include "NarrowArrowStyle.h"
#include "orvane/Calculate.h"
#include "orvane/NumberText.h"
#include "orvane/StringStuff.h"
#include "ui_FMainComb.h"

using namespace Qt::StringLiterals;

// The banner is compiled into this static library; without a reference to
// its initialiser the linker would leave it out of the program.
static void InitResources() { Q_INIT_RESOURCE(orvane_ui); }

namespace {

// A failed calculation leaves the old answer in place, so it is shown as stale.
const QColor kStaleAnswer(192, 0, 0);

// The form that the k and n boxes keep their numbers in: '007' is '7', 'abc' is '0'.
QString NumericForm(const QString& text) {
  return FromEngine(orvane::NumberToText(orvane::TextToNumber(ToEngine(text))));
}

}  // namespace

FMainComb::FMainComb(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::FMainComb>()) {
  InitResources();
  ui->setupUi(this);
  CmdCom = {ui->CmdCom_0, ui->CmdCom_1};
  // Lets the narrow function list show its longest item in full.
  auto* comboStyle = new NarrowArrowStyle(style()->name());
  comboStyle->setParent(this);
  ui->ComCom->setStyle(comboStyle);
  freshAnswerPalette = ui->txtRes->palette();
  ConnectHandlers();
  RunHandler([this] { Form_Load(); });
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
    connect(CmdCom[index], &QPushButton::clicked, this,
            [this, index] { RunHandler([this, index] { CmdCom_Click(index); }); });
  }
  connect(ui->txtComb, &QLineEdit::textChanged, this, handler(&FMainComb::txtComb_Change));
  connect(ui->txtK, &QLineEdit::textChanged, this, handler(&FMainComb::txtK_Change));
  connect(ui->txtN, &QLineEdit::textChanged, this, handler(&FMainComb::txtN_Change));
  ui->txtComb->installEventFilter(this);
}

bool FMainComb::eventFilter(QObject* watched, QEvent* event) {
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

void FMainComb::ShowAnswerFresh() {
  ui->txtRes->setPalette(freshAnswerPalette);
  ui->txtRes->setToolTip({});
}

void FMainComb::ShowAnswerStale(const QString& reason) {
  QPalette stale = freshAnswerPalette;
  stale.setColor(QPalette::Text, kStaleAnswer);
  ui->txtRes->setPalette(stale);
  ui->txtRes->setToolTip(reason);
}

void FMainComb::cmdAdd_Click() {
  const QString term = ExpressionTerm(ui->ComCom->currentText(), ui->txtN->text(), ui->txtK->text());
  // The disabled operator button is the selected operator.
  const QChar op = CmdCom[0]->isEnabled() ? u'*' : u'+';
  ui->txtComb->setText(AppendTerm(ui->txtComb->text(), op, term));
}

void FMainComb::cmdCalc_Click() {
  const orvane::CalcOutcome outcome =
      orvane::Calculate(ToEngine(ui->txtComb->text()), ToEngine(ui->txtRes->text()));
  if (!outcome.answer) {
    ShowAnswerStale(QString::fromStdString(outcome.reason));
    return;
  }
  ui->txtRes->setText(FromEngine(*outcome.answer));
  ShowAnswerFresh();
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
  const QString text = ui->txtComb->text();
  if (text.contains(u'\\'))
    ui->txtComb->setText(FromEngine(StringStuff::RemoveChar(ToEngine(text), u"\\")));
}

void FMainComb::txtComb_KeyPress(int keyAscii) {
  if (keyAscii == 13 || keyAscii == 10) cmdCalc_Click();
}

void FMainComb::txtK_Change() {
  // A multiset's list of multiplicities is kept as typed; k is a number.
  if (ui->ComCom->currentText() != "Pn1...nk"_L1) ui->txtK->setText(NumericForm(ui->txtK->text()));
  // Factorials and subset totals take no k.
  const QString function = ui->ComCom->currentText();
  if (function == "Pn"_L1 || function == "TotalC"_L1) ui->txtK->setText(u"0"_s);
  ui->txtK->repaint();
}

void FMainComb::txtN_Change() {
  ui->txtN->setText(NumericForm(ui->txtN->text()));
  ui->txtN->repaint();
}
