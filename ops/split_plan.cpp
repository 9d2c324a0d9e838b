// SPDX-License-Identifier: GPL-3.0-or-later
#include "split_plan.h"

#include "number.h"

#include "report_error.h"

namespace ops {

namespace {

std::int64_t unitBytes(const std::string &unit)
{
    if (unit == "Kb")
        return 1024;
    if (unit == "Mb")
        return 1048576;
    return 1;
}

std::int64_t divideRoundingUp(std::int64_t a, std::int64_t b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

} // namespace

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
        reportError(kInvalidFileSize);

    plan.partCount = mode.count;
    if (size < plan.partCount)
        reportError(kInvalidFileSize);
    plan.partSize = divideRoundingUp(size, plan.partCount);
    // Rounding up can leave nothing for the trailing parts (9 bytes in 4 parts of 3).
    if ((plan.partCount - 1) * plan.partSize >= size)
        reportError(kInvalidFileSize);
    return plan;
}

} // namespace ops
