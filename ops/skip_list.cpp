// SPDX-License-Identifier: GPL-3.0-or-later
#include "skip_list.h"

#include "number.h"

#include <algorithm>

namespace ops {

SkipList::SkipList(std::vector<Range> ranges)
{
    // Sort, drop everything below 1 (0 is never a part number), merge what overlaps or touches.
    std::sort(ranges.begin(), ranges.end(), [](const Range &a, const Range &b) { return a.low < b.low; });
    for (Range r : ranges) {
        r.low = std::max(r.low, 1);
        if (r.low > r.high)
            continue;
        if (!m_ranges.empty() && std::int64_t{r.low} <= std::int64_t{m_ranges.back().high} + 1)
            m_ranges.back().high = std::max(m_ranges.back().high, r.high);
        else
            m_ranges.push_back(r);
    }
}

bool SkipList::contains(std::int64_t number) const
{
    const auto it = std::upper_bound(m_ranges.begin(), m_ranges.end(), number,
                                     [](std::int64_t n, const Range &r) { return n < r.low; });
    return it != m_ranges.begin() && number <= std::prev(it)->high;
}

std::vector<std::int32_t> SkipList::numbers(std::int32_t limit) const
{
    std::vector<std::int32_t> out;
    for (const Range &r : m_ranges) {
        for (std::int64_t n = r.low; n <= r.high && n <= limit; ++n)
            out.push_back(static_cast<std::int32_t>(n));
    }
    return out;
}

SkipList ParseSkipList(std::string_view text)
{
    std::vector<SkipList::Range> ranges;
    bool havePrevious = false;
    std::int32_t previous = 0; // the entry that stands last: a number, or the top of its range
    bool pendingRange = false;

    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ') {
            ++i;
            continue;
        }
        if (c == '-') {
            pendingRange = true;
            // A range with no number before it starts at 1: the leading "-" and " -5" alike.
            // Only the very first character puts the 1 in by itself; after spaces, a "-" that
            // no number follows has no effect.
            if (!havePrevious) {
                previous = 1;
                havePrevious = true;
                if (i == 0)
                    ranges.push_back({1, 1});
            }
            ++i;
            continue;
        }
        const std::size_t end = text.find_first_of(" -", i);
        const std::string_view run = text.substr(i, end == std::string_view::npos ? text.size() - i : end - i);
        const std::int32_t number = StrToInt(run);
        i += run.size();

        if (pendingRange && havePrevious) {
            const std::int32_t low = std::min(previous, number);
            const std::int32_t high = std::max(previous, number);
            ranges.push_back({low, high});
            previous = high;
        } else {
            ranges.push_back({number, number});
            previous = number;
        }
        havePrevious = true;
        pendingRange = false;
    }
    return SkipList(std::move(ranges));
}

} // namespace ops
