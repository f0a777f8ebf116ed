// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QObject>

class QDBusMessage;

// Whether a screen reader runs now, as the desktop's accessibility bus
// tells it. The bus's IsEnabled stays on for anyone who once used any
// assistive tool (a magnifier too), so it says nothing about speech. A
// screen reader started by the desktop sets ScreenReaderEnabled; Orca
// started by hand does not, but as any program of the bus it registers
// itself as an application, named "orca". Either one counts.
//
// The answers come asynchronously: the watch never waits on the bus, where
// the screen reader itself may be waiting on this program.
class ScreenReaderWatch : public QObject {
  Q_OBJECT

 public:
  explicit ScreenReaderWatch(QObject* parent = nullptr);

  bool Running() const { return enabledFlag_ || readerRegistered_; }

 private slots:
  void Refresh();
  void TakeAddress(const QDBusMessage& reply);
  void TakeFlag(const QDBusMessage& reply);
  void TakeApplications(const QDBusMessage& reply);
  void TakeName(const QDBusMessage& reply);
  void NoName(const QDBusError& error);

 private:
  void ConnectToAccessibilityBus(const QString& address);
  void CountName();

  QDBusConnection bus_;
  bool enabledFlag_ = false;
  bool readerRegistered_ = false;
  // Answers still awaited for the applications of the last refresh, and
  // whether one of them was a screen reader.
  int namesAwaited_ = 0;
  bool readerSeen_ = false;
};
