// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/progress.h"

#include <atomic>
#include <cstdint>

namespace app {

// What an operation running on a worker thread tells its progress, kept for the window to read:
// the worker writes, the window's timer reads the latest state, neither waits for the other. The
// stop asked for by Escape or the window's close goes the other way.
class ProgressRelay final : public ops::ProgressSink {
public:
    struct State {
        std::int64_t maximum = -1; // -1: not set by this operation
        std::int64_t position = 0;
        double fraction = 0.0; // of the unit under way
    };

    void setMaximum(std::int64_t units) override { m_maximum.store(units); }
    void step(std::int64_t units) override
    {
        m_fraction.store(0.0);
        m_position.fetch_add(units);
    }
    void reset() override
    {
        m_fraction.store(0.0);
        m_position.store(0);
    }
    void partway(std::int64_t done, std::int64_t total) override
    {
        if (total > 0)
            m_fraction.store(static_cast<double>(done) / static_cast<double>(total));
    }
    bool stopRequested() const override { return m_stop.load(); }

    void requestStop() { m_stop.store(true); }
    State state() const { return {m_maximum.load(), m_position.load(), m_fraction.load()}; }

private:
    std::atomic<std::int64_t> m_maximum{-1};
    std::atomic<std::int64_t> m_position{0};
    std::atomic<double> m_fraction{0.0};
    std::atomic<bool> m_stop{false};
};

} // namespace app
