// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>

namespace app {

// ListBox1: a list whose selection only the left button moves, and which reports presses,
// releases and double-clicks anywhere on it (also below the last item) after it has handled them,
// and the keys that remove or move the chosen item. A path too long for it is elided in the
// middle, so that its file name stays in sight.
class ListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

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
};

} // namespace app
