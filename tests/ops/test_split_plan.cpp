// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "ops/split_plan.h"

#include "support/outcome.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Outcome;
using testsupport::outcomeOf;

ops::SplitMode byCount(std::int32_t count)
{
    return {false, "", "byte", count};
}

ops::SplitMode bySize(const char *text, const char *unit = "byte", std::int32_t count = 2)
{
    return {true, text, unit, count};
}

TEST(MakeSplitPlan, Plans)
{
    constexpr std::int64_t GiB = std::int64_t{1} << 30;
    struct Row {
        const char *why;
        std::int64_t size;
        ops::SplitMode mode;
        std::int64_t count, partSize, lastPart;
    } rows[] = {
        {"by count, remainder", 10, byCount(3), 3, 4, 2},
        {"by count, even", 12, byCount(3), 3, 4, 4},
        {"by count, last part one byte", 10, byCount(2), 2, 5, 5},
        {"by size, bytes", 10, bySize("3"), 4, 3, 1},
        {"by size, Kb", 7000, bySize("3", "Kb"), 3, 3072, 856},
        {"by size, Mb", 2097152, bySize("1", "Mb"), 2, 1048576, 1048576},
        {"size exactly one part", 5, bySize("5"), 1, 5, 5},
        {"size larger than the file", 5, bySize("9"), 1, 9, 5},
        {"empty source by size", 0, bySize("3"), 0, 3, 3},
        {"size field empty: by count", 10, bySize("", "byte", 3), 3, 4, 2},
        {"size field 0: by count", 10, bySize("0", "byte", 3), 3, 4, 2},
        {"size field 000: by count", 10, bySize("000", "byte", 3), 3, 4, 2},
        {"lower-case kb counts as bytes", 10, bySize("3", "kb"), 4, 3, 1},
        {"size text ignored by count", 10, {false, "junk", "Mb", 5}, 5, 2, 2},
        {"5 GiB in 2048 Mb parts", 5 * GiB, bySize("2048", "Mb"), 3, 2 * GiB, GiB},
        {"5 GiB by count", 5 * GiB, byCount(2), 2, 5 * GiB / 2, 5 * GiB / 2},
        {"4000 Mb parts", 5 * GiB, bySize("4000", "Mb"), 2, 4000LL << 20, 5 * GiB - (4000LL << 20)},
        {"255 parts", 255 * 3, byCount(255), 255, 3, 3},
        // The unit box writes a preset's bytes, beyond 32 bits.
        {"the fat32 preset", 5 * GiB, bySize("4294967295"), 2, 4 * GiB - 1, GiB + 1},
    };
    for (const Row &row : rows) {
        const ops::SplitPlan plan = ops::MakeSplitPlan(row.size, row.mode);
        EXPECT_EQ(plan.partCount, row.count) << row.why;
        EXPECT_EQ(plan.partSize, row.partSize) << row.why;
        if (plan.partCount > 0) {
            EXPECT_EQ(plan.lastPartSize(row.size), row.lastPart) << row.why;
        }
    }
}

TEST(MakeSplitPlan, RefusesWhatTheSizeCannotCarry)
{
    struct Row {
        const char *why;
        std::int64_t size;
        ops::SplitMode mode;
    } rows[] = {
        {"1 byte in 2 parts", 1, byCount(2)},
        {"empty source by count", 0, byCount(2)},
        {"9 bytes in 4 parts leave nothing for the fourth", 9, byCount(4)},
        {"7 bytes in 5 parts", 7, byCount(5)},
        {"254 bytes in 255 parts", 254, byCount(255)},
        {"negative size text", 10, bySize("-3")},
    };
    for (const Row &row : rows) {
        const Outcome outcome = outcomeOf([&] { ops::MakeSplitPlan(row.size, row.mode); });
        EXPECT_TRUE(outcome.reported) << row.why;
        EXPECT_EQ(outcome.text, "Invalid file size") << row.why;
    }
}

TEST(MakeSplitPlan, EveryPlanCoversTheSourceExactly)
{
    for (std::int64_t size = 1; size <= 600; ++size) {
        for (std::int32_t count = 2; count <= 40; ++count) {
            ops::SplitPlan plan;
            try {
                plan = ops::MakeSplitPlan(size, byCount(count));
            } catch (const fileio::Failure &) {
                continue;
            }
            EXPECT_EQ(plan.partCount, count);
            EXPECT_GE(plan.lastPartSize(size), 1) << size << " in " << count;
            EXPECT_LE(plan.lastPartSize(size), plan.partSize) << size << " in " << count;
        }
    }
}

TEST(MakeSplitPlan, BadSizeText)
{
    // Beyond 32 bits only a preset's bytes, in bytes, are a size.
    for (const ops::SplitMode &mode :
         {bySize("3000000000", "Mb"), bySize("4294967296"), bySize("4294967295", "Kb"), bySize("04294967295")}) {
        const Outcome outcome = outcomeOf([&] { ops::MakeSplitPlan(10, mode); });
        EXPECT_FALSE(outcome.reported);
        EXPECT_EQ(outcome.text, "'" + mode.sizeText + "' is not a valid integer value");
    }
}

} // namespace
