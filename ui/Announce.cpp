// SPDX-License-Identifier: MIT
#include "Announce.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <algorithm>

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
#include <QAccessibleWidget>
#include <QToolTip>

#include "ScreenReaderWatch.h"
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
  screenReader_ = new ScreenReaderWatch(this);
#endif
}

Announcer::~Announcer() { delete note_; }

void Announcer::Say(const QString& text, QWidget* about) {
  if (!QAccessible::isActive()) return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  Q_UNUSED(about);
  QAccessibleAnnouncementEvent event(window_, text);
  QAccessible::updateAccessibility(&event);
#else
  if (!screenReader_ || !screenReader_->Running()) return;
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
  note_->setWordWrap(false);
  note_->adjustSize();
  if (note_->width() > window_->width()) {
    note_->setWordWrap(true);
    note_->resize(window_->width(), note_->heightForWidth(window_->width()));
  }
  // Under what it speaks of, kept inside the window.
  const QWidget* near = about ? about : window_->focusWidget() ? window_->focusWidget() : window_;
  const QPoint below = near->mapTo(window_, QPoint(0, near->height() + 1));
  note_->move(std::max(0, std::min(below.x(), window_->width() - note_->width())),
              std::min(below.y(), window_->height() - note_->height()));
  note_->raise();
  note_->show();
#endif
}

bool Announcer::eventFilter(QObject* watched, QEvent* event) {
  // Input reaches the window first and then goes on to the control, where it
  // may bring a new note; only that first arrival puts the old one away.
  // The note is looked at last: events reach this filter while the note
  // itself is being destroyed, when it is no longer a label.
  const bool input = event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress;
  if (input && watched->isWindowType() && note_) note_->hide();
  return QObject::eventFilter(watched, event);
}
