// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/progress.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace cli {

// A progress line on standard error: percent, bytes done of all, rate and time left, redrawn at
// most ten times a second and cleared at the end. Draws nothing when quiet, or when its output is
// not a terminal.
class TerminalProgress final : public ops::ProgressSink {
public:
    // What the operation's units are. Codify and Erase count bytes; Cut counts parts and Unite
    // files, telling the bytes of each through partway(). The operation tells the byte total.
    enum class Units { Bytes, Pieces };

    TerminalProgress(Units units, bool quiet, std::FILE *out = stderr);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress &) = delete;
    TerminalProgress &operator=(const TerminalProgress &) = delete;

    void setMaximum(std::int64_t units) override;
    void setByteTotal(std::int64_t bytes) override { m_byteTotal = bytes; }
    void step(std::int64_t units) override;
    void reset() override;
    void partway(std::int64_t done, std::int64_t total) override;
    // A stop signal stops the operation.
    bool stopRequested() const override;

private:
    void draw();

    std::FILE *m_out;
    Units m_units;
    bool m_enabled;
    bool m_drawn = false;
    std::int64_t m_byteTotal = 0;
    std::int64_t m_bytesDone = 0; // in the units finished
    std::int64_t m_pieceDone = 0; // of the piece under way
    std::int64_t m_pieceTotal = 0;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDraw;
};

// The line of a check that hashes many files one after another, each telling its bytes through
// partway(): the bytes checked so far and the rate (the files' total is not known ahead). A stop
// signal stops the check.
class CheckProgress final : public fileio::CopyProgress {
public:
    explicit CheckProgress(bool quiet, std::FILE *out = stderr);

    void partway(std::int64_t done, std::int64_t total) override;
    bool stopRequested() const override { return m_line.stopRequested(); }

private:
    TerminalProgress m_line;
};

} // namespace cli
