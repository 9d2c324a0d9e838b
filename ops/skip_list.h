// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace ops {

// The part numbers Cut must not create: a strictly ascending set of positive numbers, held as
// disjoint ascending ranges so that a wide range such as "1-2000000000" costs nothing.
class SkipList {
public:
    struct Range {
        std::int32_t low;
        std::int32_t high;
        bool operator==(const Range &) const = default;
    };

    SkipList() = default;
    explicit SkipList(std::vector<Range> ranges);

    bool empty() const { return m_ranges.empty(); }
    const std::vector<Range> &ranges() const { return m_ranges; }
    bool contains(std::int64_t number) const;
    // The numbers themselves, up to `limit`.
    std::vector<std::int32_t> numbers(std::int32_t limit = INT32_MAX) const;

private:
    std::vector<Range> m_ranges; // sorted, disjoint, not adjacent, every low >= 1
};

// Reads the skip field's text: numbers separated by spaces, "-" between two numbers for the
// range between them (either way round; ranges chain, as in 1-3-5), a leading "-" for a range
// from 1. A run that is not a signed 32-bit number fails through the default error box.
SkipList ParseSkipList(std::string_view text);

} // namespace ops
