#pragma once

#include "ops/progress.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace cli {

// A progress line on standard error: percent, count and rate, redrawn a few times a second.
// Silent when standard error is not a terminal.
class TerminalProgress final : public ops::ProgressSink {
public:
    // unit: "bytes" when the operation counts bytes, else the name of what it counts.
    explicit TerminalProgress(const char *unit, std::FILE *out = stderr);
    ~TerminalProgress() override;

    void setMaximum(std::int64_t units) override;
    void step(std::int64_t units) override;
    void reset() override;
    void partway(std::int64_t done, std::int64_t total) override;

private:
    void draw(bool force);

    std::FILE *m_out;
    const char *m_unit;
    bool m_enabled;
    bool m_drawn = false;
    std::int64_t m_maximum = 0;
    std::int64_t m_position = 0;
    double m_fraction = 0.0; // of the unit under way
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDraw;
};

} // namespace cli
