// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QAbstractButton;
class QWidget;

namespace app {

// Held while an operation runs: the window repaints and shows progress, its controls are greyed
// and take no input, and the cursor says it is busy. Input events for the window are swallowed
// (also those queued meanwhile, which are flushed before the guard ends), except Escape, which
// asks the operation to stop, and those for the stop button: the operation's own button, which
// stays live, has the focus and reads "Stop" meanwhile. Boxes the window opens meanwhile (its
// questions) take input as usual, and a request to close the window reaches the window, which
// decides.
class BusyGuard final : public QObject {
public:
    struct StopButton {
        QAbstractButton *button; // nullptr: every control is greyed
        QString caption;
    };

    // `controls` is greyed for the guard's length, but for the stop button; `stop` is what Escape
    // does.
    BusyGuard(QWidget &controls, std::function<void()> stop, StopButton stopButton = {nullptr, {}});
    ~BusyGuard() override;
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

    static bool active() { return s_depth > 0; }
    // Whether the guard swallows this kind of event.
    static bool isRefused(const QEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void grey(QWidget &widget);
    void takeOver(const QString &caption);
    void giveBack();

    QWidget &m_controls;
    std::function<void()> m_stop;
    QAbstractButton *m_stopButton;
    std::vector<QPointer<QWidget>> m_greyed;
    QPointer<QWidget> m_focus; // where the focus was, to have it back
    QString m_caption, m_spokenName;
    static inline int s_depth = 0;
};

} // namespace app
