// SPDX-License-Identifier: GPL-3.0-or-later
#include "character_filter.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace app {

namespace {

bool isClipboardShortcut(const QKeyEvent &key)
{
    return key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Copy) || key.matches(QKeySequence::Cut)
        || key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) || key.matches(QKeySequence::SelectAll);
}

// Keys that move the cursor or delete. Some carry a character all the same: the X server sends
// Delete with DEL (0x7f).
bool isEditingKey(const QKeyEvent &key)
{
    switch (key.key()) {
    case Qt::Key_Delete:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

bool CharacterFilter::passes(const QKeyEvent &key) const
{
    // Tab moves the focus; it is never typed into the field.
    if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)
        return true;
    // Shift+Delete cuts, so the shortcuts are looked at before the editing keys.
    if (isClipboardShortcut(key))
        return false;
    if (isEditingKey(key))
        return true;
    // A control or Alt chord types a control character, or nothing a field should take.
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return key.text().isEmpty() && key.key() >= Qt::Key_Escape;
    const QString text = key.text();
    for (const QChar c : text) {
        if (!m_allowed.contains(c))
            return false;
    }
    return true;
}

bool CharacterFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !passes(*static_cast<QKeyEvent *>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace app
