// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/progress.h"

#include <atomic>
#include <cstdint>
#include <functional>

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

        // How much of the whole is done, 0 to 1.
        double share() const;
    };
    // What the operation got through: its units, and the bytes of those units its copies reported.
    struct Tally {
        std::int64_t units = 0;
        std::int64_t bytes = 0;
    };
    // Whether unit `number` (1 for the first) counts as made; a Cut's skipped parts do not.
    using Counts = std::function<bool(std::int64_t number)>;

    // Every operation starts at 0, whatever the one before it left.
    explicit ProgressRelay(Counts counts = {}) : m_counts(std::move(counts)) {}

    void setMaximum(std::int64_t units) override { m_maximum.store(units); }
    void step(std::int64_t units) override;
    void reset() override
    {
        m_fraction.store(0.0);
        m_position.store(0);
    }
    void partway(std::int64_t done, std::int64_t total) override;
    bool stopRequested() const override { return m_stop.load(); }

    void requestStop() { m_stop.store(true); }
    State state() const { return {m_maximum.load(), m_position.load(), m_fraction.load()}; }
    // Read once the operation has ended: the worker alone writes it.
    const Tally &tally() const { return m_tally; }

private:
    std::atomic<std::int64_t> m_maximum{-1};
    std::atomic<std::int64_t> m_position{0};
    std::atomic<double> m_fraction{0.0};
    std::atomic<bool> m_stop{false};
    Counts m_counts;
    Tally m_tally;
    std::int64_t m_unitBytes = 0; // the size the copy under way gave for its unit
};

} // namespace app
