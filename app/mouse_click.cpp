#include "mouse_click.h"

#include <QMouseEvent>
#include <QWidget>

namespace app {

MouseClick::MouseClick(QObject *watched, std::function<void()> action)
    : QObject(watched), m_action(std::move(action))
{
    watched->installEventFilter(this);
}

bool MouseClick::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const auto *widget = qobject_cast<QWidget *>(watched);
        // Released elsewhere, the press is taken back.
        if (mouse->button() == Qt::LeftButton && widget && widget->rect().contains(mouse->position().toPoint())) {
            m_action();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
