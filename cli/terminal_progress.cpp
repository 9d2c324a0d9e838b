#include "terminal_progress.h"

#include <cstring>

#include <unistd.h>

namespace cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

} // namespace

TerminalProgress::TerminalProgress(const char *unit, std::FILE *out)
    : m_out(out), m_unit(unit), m_enabled(::isatty(::fileno(out)) == 1),
      m_start(std::chrono::steady_clock::now()), m_lastDraw(m_start)
{
}

TerminalProgress::~TerminalProgress()
{
    if (m_drawn)
        std::fputs("\r\033[K", m_out);
}

void TerminalProgress::setMaximum(std::int64_t units)
{
    m_maximum = units;
    m_start = std::chrono::steady_clock::now();
    draw(true);
}

void TerminalProgress::step(std::int64_t units)
{
    m_position += units;
    m_fraction = 0.0;
    draw(false);
}

void TerminalProgress::reset()
{
    m_position = 0;
    m_fraction = 0.0;
}

void TerminalProgress::partway(std::int64_t done, std::int64_t total)
{
    m_fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
    draw(false);
}

void TerminalProgress::draw(bool force)
{
    if (!m_enabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - m_lastDraw < kRedrawInterval)
        return;
    m_lastDraw = now;

    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const double done = static_cast<double>(m_position) + m_fraction;
    const double percent = m_maximum > 0 ? 100.0 * done / static_cast<double>(m_maximum) : 0.0;
    const bool bytes = std::strcmp(m_unit, "bytes") == 0;
    if (bytes) {
        const double mib = static_cast<double>(m_position) / (1024.0 * 1024.0);
        std::fprintf(m_out, "\r\033[K%5.1f%%  %.1f MiB  %.1f MiB/s", percent, mib, seconds > 0 ? mib / seconds : 0.0);
    } else {
        std::fprintf(m_out, "\r\033[K%5.1f%%  %lld of %lld %s", percent, static_cast<long long>(m_position),
                     static_cast<long long>(m_maximum), m_unit);
    }
    std::fflush(m_out);
    m_drawn = true;
}

} // namespace cli
