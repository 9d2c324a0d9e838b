// SPDX-License-Identifier: GPL-3.0-or-later
// The Cut page's texts as one input: the skip text, then on lines of their own the size text,
// the unit, the marker, the source path, and "count size bySize" in decimal. Whatever they hold,
// parsing and planning end quickly with a plan every part of which is sound, or with a message.
#include "fileio/failure.h"
#include "ops/part_name.h"
#include "ops/skip_list.h"
#include "ops/split_plan.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

std::vector<std::string_view> fields(std::string_view input, std::size_t count)
{
    std::vector<std::string_view> out;
    while (out.size() + 1 < count) {
        const auto end = input.find('\n');
        if (end == std::string_view::npos)
            break;
        out.push_back(input.substr(0, end));
        input.remove_prefix(end + 1);
    }
    out.push_back(input);
    out.resize(count);
    return out;
}

std::int64_t numberIn(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t fallback)
{
    const std::string copy(text);
    char *end = nullptr;
    const long long value = std::strtoll(copy.c_str(), &end, 10);
    if (end == copy.c_str())
        return fallback;
    return value < low ? low : value > high ? high : value;
}

void checkSkipList(const ops::SkipList &skip)
{
    const auto &ranges = skip.ranges();
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        require(ranges[i].low >= 1, "a skipped number below 1");
        require(ranges[i].low <= ranges[i].high, "an empty range");
        require(skip.contains(ranges[i].low) && skip.contains(ranges[i].high), "a range that contains not its ends");
        if (i > 0)
            require(std::int64_t{ranges[i - 1].high} + 1 < ranges[i].low, "ranges out of order or touching");
    }
    require(!skip.contains(0), "part 0 skipped");
}

void checkPlan(const ops::SplitPlan &plan, std::int64_t size)
{
    require(plan.partCount >= 0, "a negative part count");
    if (plan.partCount == 0) {
        require(size == 0, "no parts for a source with bytes");
        return;
    }
    require(plan.partSize >= 1, "a part size below 1");
    const std::int64_t last = plan.lastPartSize(size);
    require(last >= 1 && last <= plan.partSize, "a last part without bytes or larger than the others");
}

// The part name is the source with marker and number put in before at most four characters.
void checkPartName(std::string_view source, std::string_view marker, std::int64_t n)
{
    const std::string name = ops::PartFileName(source, marker, n);
    const std::string inserted = std::string(marker) + std::to_string(n);
    require(name.size() == source.size() + inserted.size(), "a part name of the wrong length");
    const std::size_t lowest = source.size() > 16 ? source.size() - 16 : 0;
    bool found = false;
    for (std::size_t at = lowest; at <= source.size() && !found; ++at) {
        found = name.compare(0, at, source, 0, at) == 0 && name.compare(at, inserted.size(), inserted) == 0
            && name.compare(at + inserted.size(), std::string::npos, source, at) == 0;
    }
    require(found, "a part name that is not the source with the number put in near its end");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const auto f = fields(input, 6);
    const auto numbers = fields(f[5], 3);

    ops::SplitMode mode;
    mode.sizeText = std::string(f[1]);
    mode.unitText = std::string(f[2]);
    mode.count = static_cast<std::int32_t>(numberIn(numbers[0].substr(0, 20), 2, 255, 2));
    const std::int64_t sourceSize = numberIn(numbers[1].substr(0, 20), 0, INT64_MAX / 4, 1000);
    mode.bySize = numberIn(numbers[2].substr(0, 20), 0, 1, 0) == 1;

    try {
        checkSkipList(ops::ParseSkipList(f[0]));
    } catch (const fileio::Failure &) {
        // A run that is no number: the message is the outcome.
    }
    try {
        const ops::SplitPlan plan = ops::MakeSplitPlan(sourceSize, mode);
        checkPlan(plan, sourceSize);
        checkPartName(f[4], f[3], 1);
        if (plan.partCount > 0)
            checkPartName(f[4], f[3], plan.partCount);
    } catch (const fileio::Failure &) {
    }
    return 0;
}
