// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/progress.h"

#include <QElapsedTimer>

#include <cstdint>

class QProgressBar;

namespace app {

// ProgressSink on ProgressBar1. Counts are 64-bit (bytes of files beyond 2 GiB); the bar's int range
// shows them scaled. Steps and partway let the window repaint, about 30 times a second, without
// taking user input.
class ProgressBarSink final : public ops::ProgressSink {
public:
    explicit ProgressBarSink(QProgressBar &bar) : m_bar(bar) {}

    void setMaximum(std::int64_t units) override;
    void step(std::int64_t units = 1) override;
    void reset() override;
    void partway(std::int64_t done, std::int64_t total) override;

    std::int64_t maximum() const { return m_maximum; }
    std::int64_t position() const { return m_position; }

    // The bar's int value for a position out of a maximum.
    static int scaled(std::int64_t position, std::int64_t maximum);

private:
    void show();
    void showFraction(double fraction);
    void processPendingEvents();

    QProgressBar &m_bar;
    std::int64_t m_maximum = 100;
    std::int64_t m_position = 0;
    QElapsedTimer m_sinceEvents;
};

} // namespace app
