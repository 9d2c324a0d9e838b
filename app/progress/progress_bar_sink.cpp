// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_bar_sink.h"

#include "progress_bar.h"

#include <algorithm>
#include <limits>

namespace app {

namespace {

constexpr std::int64_t kBarRange = std::numeric_limits<int>::max();

} // namespace

int ProgressBarSink::scaled(std::int64_t position, std::int64_t maximum)
{
    position = std::clamp<std::int64_t>(position, 0, std::max<std::int64_t>(maximum, 0));
    if (maximum <= kBarRange)
        return static_cast<int>(position);
    return static_cast<int>(static_cast<__int128>(position) * kBarRange / maximum);
}

void ProgressBarSink::setMaximum(std::int64_t units)
{
    m_maximum = std::max<std::int64_t>(units, 0);
    // Qt shows a bar of range 0..0 as a busy indicator; an operation over nothing shows an empty bar.
    m_bar.setMaximum(std::max(scaled(m_maximum, m_maximum), 1));
    show();
}

void ProgressBarSink::show(std::int64_t maximum, std::int64_t position, double fraction)
{
    if (maximum != m_maximum)
        setMaximum(maximum);
    m_position = position;
    showFraction(fraction);
    show();
}

void ProgressBarSink::showFraction(double fraction)
{
    if (auto *bar = qobject_cast<ProgressBar *>(&m_bar))
        bar->setFraction(fraction);
}

void ProgressBarSink::show()
{
    const int value = scaled(m_position, m_maximum);
    if (m_bar.value() != value)
        m_bar.setValue(value);
}

} // namespace app
