// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

namespace app {

// Runs an action when the watched widget is clicked or double-clicked: an edit field standing
// for its button, a picture or a link label taking a click.
class ClickFilter final : public QObject {
public:
    // Click: the left button pressed and released over the widget, or Enter while it has the focus
    // (a link reached by Tab). DoubleClick: any double-click.
    enum class Gesture { Click, DoubleClick };

    ClickFilter(QObject *watched, Gesture gesture, std::function<void()> action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool matches(QObject *watched, QEvent *event) const;

    Gesture m_gesture;
    std::function<void()> m_action;
};

} // namespace app
