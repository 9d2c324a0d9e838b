// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

class QProgressBar;

namespace app {

// What an operation's progress shows on ProgressBar1. Counts are 64-bit (bytes of files beyond
// 2 GiB); the bar's int range shows them scaled. An operation on a worker thread reports to a
// ProgressRelay, whose state reaches the bar through show(), from the window's own thread.
class ProgressBarSink final {
public:
    explicit ProgressBarSink(QProgressBar &bar) : m_bar(bar) {}

    // Shows a state as a whole: the operation's count, the units done and the share of the next.
    void show(std::int64_t maximum, std::int64_t position, double fraction);

    std::int64_t maximum() const { return m_maximum; }
    std::int64_t position() const { return m_position; }

    // The bar's int value for a position out of a maximum.
    static int scaled(std::int64_t position, std::int64_t maximum);

private:
    void setMaximum(std::int64_t units);
    void show();
    void showFraction(double fraction);

    QProgressBar &m_bar;
    std::int64_t m_maximum = 100;
    std::int64_t m_position = 0;
};

} // namespace app
