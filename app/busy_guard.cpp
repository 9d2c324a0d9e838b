// SPDX-License-Identifier: GPL-3.0-or-later
#include "busy_guard.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace app {

BusyGuard::BusyGuard(QWidget &controls, std::function<void()> stop)
    : m_controls(controls), m_stop(std::move(stop)), m_wasEnabled(controls.isEnabled())
{
    ++s_depth;
    m_controls.setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QCoreApplication::instance()->installEventFilter(this);
}

BusyGuard::~BusyGuard()
{
    // Clicks and keys that arrived during the operation are dropped here, not run afterwards.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    m_controls.setEnabled(m_wasEnabled);
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
        return true;
    default:
        return false;
    }
}

bool BusyGuard::eventFilter(QObject *watched, QEvent *event)
{
    // Only the busy window's input: a question it asks meanwhile is answered as usual.
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!isRefused(*event) || !widget || widget->window() != m_controls.window())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        m_stop();
    return true;
}

} // namespace app
