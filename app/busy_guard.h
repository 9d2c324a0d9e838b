// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace app {

// Held while an operation runs inside a click handler: the window repaints but takes no input.
// Input events are swallowed (also those queued meanwhile, which are flushed before the guard
// ends) and so are requests to close a window.
class BusyGuard final : public QObject {
public:
    BusyGuard();
    ~BusyGuard() override;
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

    static bool active() { return s_depth > 0; }
    // Whether the guard swallows this kind of event.
    static bool isRefused(const QEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static inline int s_depth = 0;
};

} // namespace app
