// SPDX-License-Identifier: MIT
#pragma once

#include <QPalette>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstddef>
#include <memory>

class Announcer;
class QLabel;
class QPushButton;
namespace Ui {
class FMainComb;
}

// The program's only window. The user builds or types an expression, and
// the Calculate command puts its value in the answer box. All state lives
// in the controls; the handlers keep none of their own.
class FMainComb : public QWidget {
  Q_OBJECT

 public:
  explicit FMainComb(QWidget* parent = nullptr);
  ~FMainComb() override;

 protected:
  // Feeds key presses in the expression box to txtComb_KeyPress.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Keeps the credit line readable when the desktop's palette changes.
  void changeEvent(QEvent* event) override;
  // Before the window is mapped: the window manager's hints for a fixed frame.
  void showEvent(QShowEvent* event) override;

 private:
  // One handler per control event.
  void cmdAdd_Click();
  void cmdCalc_Click();
  void CmdCom_Click(int index);
  void Form_Load();
  void txtComb_Change();
  void txtComb_KeyPress(int keyAscii);
  void txtK_Change();
  void txtN_Change();

  void ConnectHandlers();
  void FitToScreen();
  void CentreOnScreen();
  void SetFixedColours();
  void BackCreditLine();
  void ShowPictures();
  void MakeAccessible();
  void DescribeOperator(int index);
  void MakeNotReadLine();
  void ShowAnswerFresh(const QStringList& notRead, std::size_t more);
  void ShowNotReadLine(const QString& told);
  void ShowAnswerStale(const QString& reason);
  void AnnounceFunction();
  void RefuseTooLong();

  std::unique_ptr<Ui::FMainComb> ui;
  // The operator buttons by index: 0 is "+", 1 is "*"; the disabled one is
  // the operator that the Add button uses.
  std::array<QPushButton*, 2> CmdCom{};
  QPalette freshAnswerPalette;
  // What the last answer's calculation passed over, in place of the credit
  // line while that answer stands.
  QLabel* lblNotRead = nullptr;
  Announcer* announcer = nullptr;
  // A change handler of a box is running: the writes of the runs that it
  // raises are the program's, not the user's edits.
  bool rewriting = false;
};
