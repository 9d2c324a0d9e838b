// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/progress.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace testsupport {

// Remembers what an operation told its progress display.
class RecordingProgress final : public ops::ProgressSink {
public:
    void setMaximum(std::int64_t units) override
    {
        maximum = units;
        maximums.push_back(units);
    }
    void step(std::int64_t units) override
    {
        position += units;
        steps += units;
        if (onStep)
            onStep();
        if (onProgress)
            onProgress();
    }
    bool stopRequested() const override { return stop; }
    void reset() override
    {
        position = 0;
        ++resets;
    }
    void partway(std::int64_t done, std::int64_t total) override
    {
        partways.emplace_back(done, total);
        if (onProgress)
            onProgress();
    }

    std::function<void()> onStep;     // a test's way to act while the operation runs
    std::function<void()> onProgress; // the same at every step and between the blocks of a copy
    bool stop = false;                // what stopRequested() answers
    std::int64_t maximum = -1;        // -1: never set
    std::int64_t position = 0;
    std::int64_t steps = 0;
    int resets = 0;
    std::vector<std::int64_t> maximums;
    std::vector<std::pair<std::int64_t, std::int64_t>> partways;
};

} // namespace testsupport
