// SPDX-License-Identifier: GPL-3.0-or-later
#include "busy_guard.h"

#include <QCoreApplication>
#include <QEvent>

namespace app {

BusyGuard::BusyGuard()
{
    ++s_depth;
    QCoreApplication::instance()->installEventFilter(this);
}

BusyGuard::~BusyGuard()
{
    // Clicks and keys that arrived during the operation are dropped here, not run afterwards.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(this);
    --s_depth;
}

bool BusyGuard::isRefused(const QEvent &event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

bool BusyGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (!isRefused(*event))
        return QObject::eventFilter(watched, event);
    event->ignore(); // a refused close leaves the window open
    return true;
}

} // namespace app
