// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal_progress.h"

#include "progress_line.h"
#include "stop_signals.h"

#include <unistd.h>

namespace cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

} // namespace

TerminalProgress::TerminalProgress(Units units, bool quiet, std::FILE *out)
    : m_out(out), m_units(units), m_enabled(!quiet && ::isatty(::fileno(out)) == 1),
      m_start(std::chrono::steady_clock::now()), m_lastDraw(m_start)
{
}

TerminalProgress::~TerminalProgress()
{
    if (m_drawn) {
        std::fputs("\r\033[K", m_out);
        std::fflush(m_out);
    }
}

bool TerminalProgress::stopRequested() const
{
    return stopSignalled();
}

void TerminalProgress::setMaximum(std::int64_t units)
{
    static_cast<void>(units);
    // The first line waits a redraw interval: a quick operation shows none.
    m_start = m_lastDraw = std::chrono::steady_clock::now();
}

void TerminalProgress::step(std::int64_t units)
{
    m_bytesDone += m_units == Units::Bytes ? units : m_pieceTotal;
    m_pieceDone = m_pieceTotal = 0;
    draw();
}

void TerminalProgress::reset() {}

void TerminalProgress::partway(std::int64_t done, std::int64_t total)
{
    m_pieceDone = done;
    m_pieceTotal = total;
    draw();
}

void TerminalProgress::draw()
{
    if (!m_enabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastDraw < kRedrawInterval)
        return;
    m_lastDraw = now;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const std::string line = progressLine(m_bytesDone + m_pieceDone, m_byteTotal, seconds);
    std::fprintf(m_out, "\r\033[K%s", line.c_str());
    std::fflush(m_out);
    m_drawn = true;
}

CheckProgress::CheckProgress(bool quiet, std::FILE *out) : m_line(TerminalProgress::Units::Pieces, quiet, out)
{
    m_line.setByteTotal(-1);
}

void CheckProgress::partway(std::int64_t done, std::int64_t total)
{
    m_line.partway(done, total);
    if (done == total) // the file is hashed to its end: its bytes count from now on
        m_line.step(1);
}

} // namespace cli
