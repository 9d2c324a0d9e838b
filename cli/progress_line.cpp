// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_line.h"

#include <cmath>
#include <cstdio>

namespace cli {

namespace {

template <typename... Values>
std::string format(const char *pattern, Values... values)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string binarySize(double bytes)
{
    static constexpr const char *kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    if (bytes < 1024.0)
        return format("%.0f B", bytes);
    int unit = 0;
    for (bytes /= 1024.0; bytes >= 1024.0 && unit < 5; bytes /= 1024.0)
        ++unit;
    return format("%.1f %s", bytes, kUnits[unit]);
}

// "0:07", "12:34", "1:02:03"
std::string duration(double seconds)
{
    const auto whole = static_cast<long long>(std::ceil(seconds));
    const long long hours = whole / 3600;
    if (hours > 0)
        return format("%lld:%02lld:%02lld", hours, whole / 60 % 60, whole % 60);
    return format("%lld:%02lld", whole / 60, whole % 60);
}

} // namespace

std::string binarySize(std::int64_t bytes)
{
    return binarySize(static_cast<double>(bytes));
}

std::string progressLine(std::int64_t done, std::int64_t total, double seconds)
{
    if (total < 0) // a stream, whose end is known only when it comes
        return binarySize(done) + (done > 0 && seconds > 0.0 ? "  " + binarySize(done / seconds) + "/s" : "  --/s");
    const double percent = total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 0.0;
    std::string line = format("%5.1f%%  ", percent) + binarySize(done) + " of " + binarySize(total);
    if (done <= 0 || seconds <= 0.0)
        return line + "  --/s  --:-- left";
    const double rate = static_cast<double>(done) / seconds;
    const double left = static_cast<double>(total > done ? total - done : 0) / rate;
    return line + "  " + binarySize(rate) + "/s  " + duration(left) + " left";
}

} // namespace cli
