// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace app {

// Held while an operation runs: the window repaints and shows progress, its controls are greyed
// and take no input, and the cursor says it is busy. Input events for the window are swallowed
// (also those queued meanwhile, which are flushed before the guard ends), except Escape, which
// asks the operation to stop. Boxes the window opens meanwhile (its questions) take input as
// usual, and a request to close the window reaches the window, which decides.
class BusyGuard final : public QObject {
public:
    // `controls` is greyed for the guard's length; `stop` is what Escape does.
    BusyGuard(QWidget &controls, std::function<void()> stop);
    ~BusyGuard() override;
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

    static bool active() { return s_depth > 0; }
    // Whether the guard swallows this kind of event.
    static bool isRefused(const QEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_controls;
    std::function<void()> m_stop;
    bool m_wasEnabled;
    static inline int s_depth = 0;
};

} // namespace app
