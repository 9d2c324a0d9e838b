#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

TEST(CliCut, SucceedsSilently)
{
    TempDir dir;
    const Bytes data = patternBytes(100);
    writeFile(dir.file("d.bin"), data);
    const CliResult r = runCli({"cut", "--count", "3", "--skip", "2", "--marker=#", dir.file("d.bin")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ""); // not a terminal: no progress line
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"d#1.bin", "d#3.bin", "d.bin"}));
    EXPECT_EQ(readFile(dir.file("d#3.bin")), Bytes(data.begin() + 68, data.end()));
}

TEST(CliCut, BySizeWithUnitAndDelete)
{
    TempDir dir;
    const Bytes data = patternBytes(3000);
    writeFile(dir.file("d.bin"), data);
    const CliResult r = runCli({"cut", "--size", "1", "--unit", "Kb", "--delete", dir.file("d.bin")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"d1.bin", "d2.bin", "d3.bin"}));
    EXPECT_EQ(readFile(dir.file("d3.bin")).size(), 3000u - 2048u);
}

TEST(CliCut, UnitRuleAndCountClamp)
{
    TempDir dir;
    writeFile(dir.file("d.bin"), patternBytes(3000));
    // "kb" is not "Kb": the unit becomes byte, so 1000-byte parts.
    EXPECT_EQ(runCli({"cut", "--size", "1000", "--unit", "kb", dir.file("d.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("d1.bin")).size(), 1000u);
    // A count of 1 is clamped to 2; 999 to 255.
    EXPECT_EQ(runCli({"cut", "--count", "1", dir.file("d.bin")}).status, 0);
    EXPECT_EQ(readFile(dir.file("d1.bin")).size(), 1500u);
    writeFile(dir.file("d.bin"), patternBytes(2550));
    EXPECT_EQ(runCli({"cut", "--count", "999", dir.file("d.bin")}).status, 0);
    EXPECT_TRUE(exists(dir.file("d255.bin")));
}

TEST(CliCut, FailuresPrintTheBoxText)
{
    TempDir dir;
    writeFile(dir.file("one.bin"), patternBytes(1));
    struct Row {
        std::vector<std::string> args;
        const char *err;
    } rows[] = {
        {{"cut", dir.file("missing.bin")}, "skarvel-cli: Invalid file name\n"},
        {{"cut", dir.file("one.bin")}, "skarvel-cli: Invalid file size\n"},
        {{"cut", "--skip", "1 2147483648", dir.file("one.bin")},
         "skarvel-cli: '2147483648' is not a valid integer value.\n"},
        {{"cut", "--size", "5000000000", dir.file("one.bin")},
         "skarvel-cli: '5000000000' is not a valid integer value.\n"},
    };
    for (const Row &row : rows) {
        const CliResult r = runCli(row.args);
        EXPECT_EQ(r.status, 1) << row.err;
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"one.bin"});
}

TEST(CliCut, BadArgumentsShowUsage)
{
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {"cut"}, {"cut", "a", "b"}, {"cut", "--count"}, {"cut", "--count", "two", "x"},
             {"cut", "--frobnicate", "x"}, {"slice", "x"}, {}}) {
        const CliResult r = runCli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("Usage:"), std::string::npos);
    }
}

TEST(CliCut, HelpDocumentsEveryOption)
{
    const CliResult r = runCli({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char *option : {"--count", "--size", "--unit", "--skip", "--marker", "--recons", "--delete"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
}

} // namespace
