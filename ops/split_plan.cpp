// SPDX-License-Identifier: GPL-3.0-or-later
#include "split_plan.h"

#include "number.h"

#include "report_error.h"
#include "size_preset.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace ops {

namespace {

constexpr SizeUnit kUnits[] = {SizeUnit::Byte, SizeUnit::Kb, SizeUnit::Mb};

constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::int64_t divideRoundingUp(std::int64_t a, std::int64_t b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

// The preset whose bytes the text is, written as the unit box writes them: the box fills the size
// field with a preset's bytes, some of them beyond the 32 bits a typed number is read in.
const SizePreset *presetWritten(std::string_view text)
{
    std::int64_t bytes = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bytes);
    if (text.empty() || text.front() == '0' || error != std::errc() || end != text.data() + text.size())
        return nullptr;
    return sizePresetOf(bytes);
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

std::int64_t unitBytes(SizeUnit unit)
{
    switch (unit) {
    case SizeUnit::Kb:
        return 1024;
    case SizeUnit::Mb:
        return 1048576;
    case SizeUnit::Byte:
        break;
    }
    return 1;
}

SplitBy splitByOf(const SplitMode &mode)
{
    SplitBy by;
    by.count = mode.count;
    if (!mode.bySize || mode.sizeText.empty())
        return by;
    const SizeUnit unit = unitNamed(mode.unitText).value_or(SizeUnit::Byte);
    if (const SizePreset *preset = unit == SizeUnit::Byte ? presetWritten(mode.sizeText) : nullptr)
        by.partBytes = preset->bytes;
    else
        by.partBytes = std::int64_t{StrToInt(mode.sizeText)} * unitBytes(unit);
    return by;
}

SplitPlan planSplit(std::int64_t size, const SplitBy &by)
{
    SplitPlan plan;
    if (by.partBytes > 0) {
        plan.partSize = by.partBytes;
        plan.partCount = divideRoundingUp(size, plan.partSize);
        return plan;
    }
    // A negative size can only come through pasting, and gives no usable part size.
    if (by.partBytes < 0)
        reportError(kInvalidFileSize, {}, 0, "a part size cannot be negative");
    if (!validPartCount(by.count))
        reportError(kInvalidFileSize, {}, 0, "a part count is from 2 to 255");
    plan.partCount = by.count;
    plan.partSize = size < plan.partCount ? 0 : divideRoundingUp(size, plan.partCount);
    // Rounding up can leave nothing for the trailing parts (9 bytes in 4 parts of 3).
    if (size < plan.partCount || (plan.partCount - 1) * plan.partSize >= size)
        reportError(kInvalidFileSize, {}, 0,
                    std::to_string(size) + (size == 1 ? " byte" : " bytes") + " cannot be cut into "
                        + std::to_string(plan.partCount) + " parts of at least one byte each");
    return plan;
}

SplitPlan MakeSplitPlan(std::int64_t size, const SplitMode &mode)
{
    return planSplit(size, splitByOf(mode));
}

} // namespace ops
