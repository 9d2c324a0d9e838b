// SPDX-License-Identifier: GPL-3.0-or-later
#include "busy_guard.h"

#include "app/form/accessibility.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace app {

BusyGuard::BusyGuard(QWidget &controls, std::function<void()> stop, StopButton stopButton)
    : m_controls(controls), m_stop(std::move(stop)), m_stopButton(stopButton.button)
{
    ++s_depth;
    m_focus = QApplication::focusWidget();
    grey(m_controls);
    if (m_stopButton)
        takeOver(stopButton.caption);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QCoreApplication::instance()->installEventFilter(this);
}

BusyGuard::~BusyGuard()
{
    // Clicks and keys that arrived during the operation are dropped here, not run afterwards.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (m_stopButton)
        giveBack();
    for (auto widget = m_greyed.rbegin(); widget != m_greyed.rend(); ++widget) {
        if (*widget)
            (*widget)->setEnabled(true);
    }
    if (m_focus && m_focus->isEnabled() && m_focus->window() == m_controls.window())
        m_focus->setFocus(Qt::OtherFocusReason);
    --s_depth;
}

// Greys `widget`, or only what lies beside the stop button within it. A control greyed already
// (a field its choice turned off) stays greyed afterwards.
void BusyGuard::grey(QWidget &widget)
{
    if (!m_stopButton || !widget.isAncestorOf(m_stopButton)) {
        if (!widget.testAttribute(Qt::WA_ForceDisabled)) {
            widget.setEnabled(false);
            m_greyed.emplace_back(&widget);
        }
        return;
    }
    for (QWidget *child : widget.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child != m_stopButton && !child->isWindow())
            grey(*child);
    }
}

// The button stops the operation meanwhile, and says so to the eye and to a screen reader.
void BusyGuard::takeOver(const QString &caption)
{
    m_caption = m_stopButton->text();
    m_spokenName = m_stopButton->accessibleName();
    m_stopButton->setText(caption);
    if (!m_spokenName.isEmpty())
        m_stopButton->setAccessibleName(withoutAccessKey(caption));
    m_stopButton->setFocus(Qt::OtherFocusReason);
}

void BusyGuard::giveBack()
{
    m_stopButton->setText(m_caption);
    if (!m_spokenName.isEmpty())
        m_stopButton->setAccessibleName(m_spokenName);
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
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        m_stop();
        return true;
    }
    if (m_stopButton && widget == m_stopButton)
        return QObject::eventFilter(watched, event);
    return true;
}

} // namespace app
