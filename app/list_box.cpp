// SPDX-License-Identifier: GPL-3.0-or-later
#include "list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
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

void ListBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListWidget::mousePressEvent(event);
    emit mouseDown();
}

void ListBox::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        QListWidget::mouseMoveEvent(event);
}

void ListBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListWidget::mouseReleaseEvent(event);
    emit mouseUp();
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
