// SPDX-License-Identifier: GPL-3.0-or-later
#include "list_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace app {

namespace {

// Items no wider than the list, so that a long path is elided rather than pushing the list into
// scrolling sideways.
class FitWidthDelegate final : public QStyledItemDelegate {
public:
    explicit FitWidthDelegate(QListWidget &list) : QStyledItemDelegate(&list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize hint = QStyledItemDelegate::sizeHint(option, index);
        hint.setWidth(std::min(hint.width(), m_list.viewport()->width()));
        return hint;
    }

private:
    QListWidget &m_list;
};

} // namespace

ListBox::ListBox(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new FitWidthDelegate(*this));
    setTextElideMode(Qt::ElideMiddle);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust); // a vertical scroll bar coming up narrows the items
}

std::optional<std::pair<int, int>> ListBox::pendingSwap() const
{
    const int target = currentRow();
    if (!m_dragging || m_pressedRow < 0 || target < 0 || target == m_pressedRow || m_pressedRow >= count())
        return std::nullopt;
    return std::pair{m_pressedRow, target};
}

void ListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        QListWidget::mousePressEvent(event);
        m_pressedAt = event->position().toPoint();
        const QModelIndex pressed = indexAt(m_pressedAt);
        m_pressedRow = pressed.isValid() ? pressed.row() : -1;
        m_dragging = false;
    }
    emit mouseDown();
}

void ListBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    // A slip of the hand is no drag: the pressed item stays chosen.
    if (!m_dragging
        && (event->position().toPoint() - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    if (!m_dragging) {
        m_dragging = true;
        viewport()->setCursor(Qt::DragMoveCursor);
    }
    QListWidget::mouseMoveEvent(event);
    viewport()->update();
}

void ListBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        QListWidget::mouseReleaseEvent(event);
        endDrag();
    }
    emit mouseUp();
}

void ListBox::endDrag()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    viewport()->unsetCursor();
    viewport()->update();
}

void ListBox::paintEvent(QPaintEvent *event)
{
    QListWidget::paintEvent(event);
    const std::optional<std::pair<int, int>> swap = pendingSwap();
    if (!swap)
        return;
    // The pressed item tinted and framed with dashes, the one it would change places with (the
    // chosen one) framed in a solid line.
    QPainter painter(viewport());
    const QRect from = visualItemRect(item(swap->first)).adjusted(0, 0, -1, -1);
    QColor tint = palette().color(QPalette::Highlight);
    tint.setAlpha(60);
    painter.fillRect(from, tint);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    painter.drawRect(from);
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::SolidLine));
    painter.drawRect(visualItemRect(item(swap->second)).adjusted(0, 0, -1, -1));
}

void ListBox::keyPressEvent(QKeyEvent *event)
{
    const QKeyCombination key = event->keyCombination();
    if (key == QKeyCombination(Qt::Key_Delete))
        emit deletePressed();
    else if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_Up))
        emit movePressed(-1);
    else if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_Down))
        emit movePressed(+1);
    else
        QListWidget::keyPressEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

} // namespace app
