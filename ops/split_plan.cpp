// SPDX-License-Identifier: GPL-3.0-or-later
#include "split_plan.h"

#include "number.h"

#include "report_error.h"

#include <algorithm>
#include <string>

namespace ops {

namespace {

constexpr SizeUnit kUnits[] = {SizeUnit::Byte, SizeUnit::Kb, SizeUnit::Mb};

constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Any text but "Kb" or "Mb" counts as bytes.
std::int64_t unitBytes(const std::string &text)
{
    switch (unitNamed(text).value_or(SizeUnit::Byte)) {
    case SizeUnit::Kb:
        return 1024;
    case SizeUnit::Mb:
        return 1048576;
    case SizeUnit::Byte:
        break;
    }
    return 1;
}

std::int64_t divideRoundingUp(std::int64_t a, std::int64_t b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

} // namespace

std::optional<SizeUnit> unitNamed(std::string_view text, bool caseAside)
{
    const auto same = [caseAside](char a, char b) { return caseAside ? asciiLower(a) == asciiLower(b) : a == b; };
    for (const SizeUnit unit : kUnits) {
        if (std::ranges::equal(text, std::string_view(unitText(unit)), same))
            return unit;
    }
    return std::nullopt;
}

const char *unitText(SizeUnit unit)
{
    switch (unit) {
    case SizeUnit::Kb:
        return "Kb";
    case SizeUnit::Mb:
        return "Mb";
    case SizeUnit::Byte:
        break;
    }
    return "byte";
}

SplitPlan MakeSplitPlan(std::int64_t size, const SplitMode &mode)
{
    SplitPlan plan;
    const bool sizeGiven = mode.bySize && !mode.sizeText.empty();
    const std::int32_t units = sizeGiven ? StrToInt(mode.sizeText) : 0;

    if (units > 0) {
        plan.partSize = std::int64_t{units} * unitBytes(mode.unitText);
        plan.partCount = divideRoundingUp(size, plan.partSize);
        return plan;
    }
    // A size of 0 ("0", "00") means by count. A negative one can only come through pasting
    // and gives no usable part size either.
    if (units < 0)
        reportError(kInvalidFileSize, {}, 0, "a part size cannot be negative");

    if (!validPartCount(mode.count))
        reportError(kInvalidFileSize, {}, 0, "a part count is from 2 to 255");
    plan.partCount = mode.count;
    plan.partSize = size < plan.partCount ? 0 : divideRoundingUp(size, plan.partCount);
    // Rounding up can leave nothing for the trailing parts (9 bytes in 4 parts of 3).
    if (size < plan.partCount || (plan.partCount - 1) * plan.partSize >= size)
        reportError(kInvalidFileSize, {}, 0,
                    std::to_string(size) + (size == 1 ? " byte" : " bytes") + " cannot be cut into "
                        + std::to_string(plan.partCount) + " parts of at least one byte each");
    return plan;
}

} // namespace ops
