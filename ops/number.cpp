// SPDX-License-Identifier: GPL-3.0-or-later
#include "number.h"

#include "fileio/failure.h"

#include <string>

namespace ops {

namespace {

[[noreturn]] void notAnInteger(std::string_view text)
{
    fileio::failWith("'" + std::string(text) + "' is not a valid integer value");
}

} // namespace

std::int32_t StrToInt(std::string_view text)
{
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size())
        notAnInteger(text);

    // Accumulate in 64 bits; the limit is one more for a negative value.
    const std::int64_t limit = negative ? std::int64_t{INT32_MAX} + 1 : INT32_MAX;
    std::int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9')
            notAnInteger(text);
        value = value * 10 + (c - '0');
        if (value > limit)
            notAnInteger(text);
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace ops
