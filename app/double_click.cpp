#include "double_click.h"

#include <QEvent>

namespace app {

DoubleClick::DoubleClick(QObject *watched, std::function<void()> action)
    : QObject(watched), m_action(std::move(action))
{
    watched->installEventFilter(this);
}

bool DoubleClick::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_action();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
