// SPDX-License-Identifier: MIT
#include "ScreenReaderWatch.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace {

const auto kLauncher = u"org.a11y.Bus"_s;
const auto kLauncherPath = u"/org/a11y/bus"_s;
const auto kStatus = u"org.a11y.Status"_s;
const auto kProperties = u"org.freedesktop.DBus.Properties"_s;
const auto kRegistry = u"org.a11y.atspi.Registry"_s;
const auto kRoot = u"/org/a11y/atspi/accessible/root"_s;
const auto kAccessible = u"org.a11y.atspi.Accessible"_s;
const auto kConnectionName = u"orvane-screen-reader-watch"_s;
// The name that Orca gives its own application on the bus.
const auto kScreenReaderName = u"orca"_s;

QDBusMessage PropertyRequest(const QString& service, const QString& path, const QString& interface,
                             const QString& property) {
  QDBusMessage request = QDBusMessage::createMethodCall(service, path, kProperties, u"Get"_s);
  request << interface << property;
  return request;
}

}  // namespace

ScreenReaderWatch::ScreenReaderWatch(QObject* parent)
    : QObject(parent), bus_(QDBusConnection::sessionBus()) {
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) return;
  session.connect(kLauncher, kLauncherPath, kProperties, u"PropertiesChanged"_s, this, SLOT(Refresh()));
  const QString address = qEnvironmentVariable("AT_SPI_BUS_ADDRESS");
  if (!address.isEmpty())
    ConnectToAccessibilityBus(address);
  else
    session.callWithCallback(QDBusMessage::createMethodCall(kLauncher, kLauncherPath, kLauncher, u"GetAddress"_s),
                             this, SLOT(TakeAddress(QDBusMessage)));
  Refresh();
}

void ScreenReaderWatch::TakeAddress(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
  const QString address = reply.arguments().constFirst().toString();
  if (address.isEmpty()) return;
  ConnectToAccessibilityBus(address);
  Refresh();
}

void ScreenReaderWatch::ConnectToAccessibilityBus(const QString& address) {
  bus_ = QDBusConnection::connectToBus(address, kConnectionName);
  if (!bus_.isConnected()) return;
  // A program joining or leaving the bus, or registering its application.
  bus_.connect(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus"_s,
               u"NameOwnerChanged"_s, this, SLOT(Refresh()));
  bus_.connect(kRegistry, kRoot, u"org.a11y.atspi.Event.Object"_s, u"ChildrenChanged"_s, this,
               SLOT(Refresh()));
}

void ScreenReaderWatch::Refresh() {
  QDBusConnection::sessionBus().callWithCallback(
      PropertyRequest(kLauncher, kLauncherPath, kStatus, u"ScreenReaderEnabled"_s), this,
      SLOT(TakeFlag(QDBusMessage)));
  if (bus_.isConnected() && bus_.name() == kConnectionName)
    bus_.callWithCallback(QDBusMessage::createMethodCall(kRegistry, kRoot, kAccessible, u"GetChildren"_s),
                          this, SLOT(TakeApplications(QDBusMessage)));
}

void ScreenReaderWatch::TakeFlag(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
  enabledFlag_ = qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

// The registry's children: one (bus name, object path) pair per application.
void ScreenReaderWatch::TakeApplications(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
  const auto list = qvariant_cast<QDBusArgument>(reply.arguments().constFirst());
  QList<std::pair<QString, QDBusObjectPath>> applications;
  list.beginArray();
  while (!list.atEnd()) {
    QString service;
    QDBusObjectPath path;
    list.beginStructure();
    list >> service >> path;
    list.endStructure();
    applications.append({service, path});
  }
  list.endArray();
  namesAwaited_ = static_cast<int>(applications.size());
  readerSeen_ = false;
  if (applications.isEmpty()) readerRegistered_ = false;
  for (const auto& [service, path] : applications)
    bus_.callWithCallback(PropertyRequest(service, path.path(), kAccessible, u"Name"_s), this,
                          SLOT(TakeName(QDBusMessage)), SLOT(NoName(QDBusError)));
}

void ScreenReaderWatch::TakeName(const QDBusMessage& reply) {
  if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
    const QString name = qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toString();
    if (name == kScreenReaderName) readerSeen_ = readerRegistered_ = true;
  }
  CountName();
}

// An application that gave no name (it may have ended meanwhile) counts as
// answered, so that a round can still conclude that no screen reader runs.
void ScreenReaderWatch::NoName(const QDBusError&) { CountName(); }

void ScreenReaderWatch::CountName() {
  // Replies of an earlier refresh may still come in; a screen reader found
  // counts at once, and none is concluded only once a whole round is in.
  if (namesAwaited_ > 0 && --namesAwaited_ == 0 && !readerSeen_) readerRegistered_ = false;
}
