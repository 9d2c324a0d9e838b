// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_relay.h"

#include <algorithm>

namespace app {

double ProgressRelay::State::share() const
{
    if (maximum <= 0)
        return 0.0;
    const double done = static_cast<double>(position) + fraction;
    return std::clamp(done / static_cast<double>(maximum), 0.0, 1.0);
}

void ProgressRelay::step(std::int64_t units)
{
    m_fraction.store(0.0);
    const std::int64_t number = m_position.fetch_add(units) + 1;
    if (units != 1 || !m_counts || m_counts(number)) {
        m_tally.units += units;
        m_tally.bytes += m_unitBytes;
    }
    m_unitBytes = 0;
}

void ProgressRelay::partway(std::int64_t done, std::int64_t total)
{
    if (total <= 0)
        return;
    m_fraction.store(static_cast<double>(done) / static_cast<double>(total));
    m_unitBytes = total;
}

} // namespace app
