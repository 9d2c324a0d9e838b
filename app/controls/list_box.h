// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>

#include <optional>
#include <utility>

namespace app {

// ListBox1: a list whose selection only the left button moves, and which reports presses,
// releases and double-clicks anywhere on it (also below the last item) after it has handled them,
// and the keys that remove or move the chosen item. A path too long for it is elided in the
// middle, so that its file name stays in sight. The button held moves the selection (and so the
// item a release swaps with the pressed one) only once the pointer has gone the platform's drag
// distance; while it is held, the two items a release would swap are framed.
class ListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

    // The rows a release of the button now would swap, the pressed one first; none while no drag
    // is under way or it rests on the pressed row.
    std::optional<std::pair<int, int>> pendingSwap() const;

signals:
    void mouseDown();
    void mouseUp();
    void doubleClicked();
    void deletePressed();     // Delete
    void movePressed(int by); // Ctrl+Up: -1, Ctrl+Down: +1

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void endDrag();

    QPoint m_pressedAt;
    int m_pressedRow = -1;
    bool m_dragging = false;
};

} // namespace app
