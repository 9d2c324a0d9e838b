#include "cli/progress_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CliProgress, LineShowsPercentBytesRateAndTimeLeft)
{
    constexpr std::int64_t kMiB = 1024 * 1024;
    const struct Row {
        std::int64_t done, total;
        double seconds;
        const char *line;
    } rows[] = {
        {0, 0, 0.0, "  0.0%  0 B of 0 B  --/s  --:-- left"},
        {0, 1000, 0.5, "  0.0%  0 B of 1000 B  --/s  --:-- left"},
        {1023, 2048, 1.0, " 50.0%  1023 B of 2.0 KiB  1023 B/s  0:02 left"},
        {256 * kMiB, 1024 * kMiB, 2.0, " 25.0%  256.0 MiB of 1.0 GiB  128.0 MiB/s  0:06 left"},
        {5 * kMiB, 4096 * kMiB, 10.0, "  0.1%  5.0 MiB of 4.0 GiB  512.0 KiB/s  2:16:22 left"},
        {3 * kMiB * 1024 * 1024, 3 * kMiB * 1024 * 1024, 30.0, "100.0%  3.0 TiB of 3.0 TiB  102.4 GiB/s  0:00 left"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(cli::progressLine(row.done, row.total, row.seconds), row.line);
}

} // namespace
