// SPDX-License-Identifier: GPL-3.0-or-later
#include "click_filter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace app {

ClickFilter::ClickFilter(QObject *watched, Gesture gesture, std::function<void()> action)
    : QObject(watched), m_gesture(gesture), m_action(std::move(action))
{
    watched->installEventFilter(this);
}

bool ClickFilter::matches(QObject *watched, QEvent *event) const
{
    if (m_gesture == Gesture::DoubleClick)
        return event->type() == QEvent::MouseButtonDblClick;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const auto *widget = qobject_cast<QWidget *>(watched);
    // Released elsewhere, the press is taken back.
    return mouse->button() == Qt::LeftButton && widget && widget->rect().contains(mouse->position().toPoint());
}

bool ClickFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (matches(watched, event)) {
        m_action();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
