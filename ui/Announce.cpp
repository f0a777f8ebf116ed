// SPDX-License-Identifier: MIT
#include "Announce.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QLabel>

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
#include <QAccessibleWidget>
#include <QToolTip>
#endif

using namespace Qt::StringLiterals;

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
namespace {

const auto kNoteName = u"orvaneNote"_s;

// The note is what it looks like: a notification, on screen for a moment.
// Screen readers speak one as it appears, wherever the focus is.
QAccessibleInterface* NoteAccessible(const QString& className, QObject* object) {
  if (className == "QLabel"_L1 && object->objectName() == kNoteName)
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
  return nullptr;
}

}  // namespace
#endif

Announcer::Announcer(QWidget* window) : QObject(window), window_(window) {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
  static const bool factoryInstalled = (QAccessible::installFactory(NoteAccessible), true);
  Q_UNUSED(factoryInstalled);
#endif
}

Announcer::~Announcer() { delete note_; }

void Announcer::Say(const QString& text) {
  if (!QAccessible::isActive()) return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent event(window_, text);
  QAccessible::updateAccessibility(&event);
#else
  if (!note_) {
    note_ = new QLabel(window_);
    note_->setObjectName(kNoteName);
    note_->setPalette(QToolTip::palette());
    note_->setFont(QToolTip::font());
    note_->setAutoFillBackground(true);
    note_->setFrameStyle(QFrame::Box | QFrame::Plain);
    note_->setMargin(2);
    qApp->installEventFilter(this);
  }
  // Shown anew each time, so that the same text twice is spoken twice.
  note_->hide();
  note_->setText(text);
  note_->setAccessibleName(text);
  note_->adjustSize();
  const QWidget* near = window_->focusWidget() ? window_->focusWidget() : window_;
  note_->move(near->mapTo(window_, QPoint(0, near->height() + 2)));
  note_->raise();
  note_->show();
#endif
}

bool Announcer::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
      if (note_ && note_->isVisible() && watched != note_) note_->hide();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
