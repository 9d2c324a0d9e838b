// SPDX-License-Identifier: GPL-3.0-or-later
// skarvel-cli cut --recons, then the emitted Recons.exe run beside the parts gives the source back.
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "support/tested_joiner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace testsupport;

struct RoundTrip {
    const char *why;
    std::size_t bytes;
    std::vector<std::string> cutArgs;
};

void PrintTo(const RoundTrip &row, std::ostream *os)
{
    *os << row.why;
}

class ReconsRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(ReconsRoundTrip, EmittedToolGivesBackTheSource)
{
    SKARVEL_SKIP_UNLESS_JOINER_RUNS();
    TempDir dir;
    const Bytes source = patternBytes(GetParam().bytes, 3);
    writeFile(dir.file("data.bin"), source);
    std::vector<std::string> args{"cut", "--recons", kJoinerOption};
    args.insert(args.end(), GetParam().cutArgs.begin(), GetParam().cutArgs.end());
    args.push_back("data.bin");

    const CliResult cut = runCli(args, dir.path());
    ASSERT_EQ(cut.status, 0) << cut.err;
    std::filesystem::rename(dir.file("data.bin"), dir.file("original.bin"));
    const CliResult joined = runCommand(joinerCommand(dir.file(kTestedJoinerFile)), dir.path(), "data.bin\n\n");

    EXPECT_EQ(joined.status, 0) << joined.out;
    EXPECT_TRUE(joined.out.ends_with("Complete\r\n")) << joined.out;
    EXPECT_EQ(readFile(dir.file("data.bin")), source);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, ReconsRoundTrip,
    ::testing::Values(RoundTrip{"two parts", 1001, {}},
                      RoundTrip{"by count, the last part shorter", 3 * 1024 * 1024 + 7, {"--count", "7"}},
                      RoundTrip{"by size in Kb", 200 * 1024 + 3, {"--size", "64", "--unit", "Kb"}},
                      RoundTrip{"with a marker", 5000, {"--count", "3", "--marker", "#"}}),
    [](const auto &info) { return "Row" + std::to_string(info.index); });

TEST(ReconsRoundTripDelete, SourceDeletedAndRebuilt)
{
    SKARVEL_SKIP_UNLESS_JOINER_RUNS();
    TempDir dir;
    const Bytes source = patternBytes(100000, 9);
    writeFile(dir.file("data.bin"), source);

    ASSERT_EQ(runCli({"cut", "--recons", kJoinerOption, "--delete", "--count", "4", "data.bin"}, dir.path()).status, 0);
    ASSERT_FALSE(exists(dir.file("data.bin")));
    ASSERT_EQ(runCommand(joinerCommand(dir.file(kTestedJoinerFile)), dir.path(), "data.bin\n\n").status, 0);

    EXPECT_EQ(readFile(dir.file("data.bin")), source);
}

} // namespace
