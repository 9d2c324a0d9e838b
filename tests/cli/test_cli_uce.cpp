#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

// A run that failed the way the window would report it: one line, exit 1.
void expectFailure(const CliResult &r, const std::string &text)
{
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "skarvel-cli: " + text + "\n");
}

void expectUsage(const CliResult &r)
{
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
}

TEST(CliUnite, JoinsSilently)
{
    TempDir dir;
    writeFile(dir.file("a"), Bytes{1, 2});
    writeFile(dir.file("b"), Bytes{3});
    const CliResult r = runCli({"unite", "new/out.bin", "b", "a", "b"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir.file("new/out.bin")), (Bytes{3, 1, 2, 3}));
}

TEST(CliUnite, OutputOnlyMakesAnEmptyFile)
{
    TempDir dir;
    EXPECT_EQ(runCli({"unite", dir.file("out.bin")}).status, 0);
    EXPECT_TRUE(readFile(dir.file("out.bin")).empty());
}

TEST(CliUnite, FailuresAreInvalidFileName)
{
    TempDir dir;
    writeFile(dir.file("a"), Bytes{1});
    expectFailure(runCli({"unite", "*.*", "a"}, dir.path()), "Invalid file name");
    expectFailure(runCli({"unite", "a", "a"}, dir.path()), "Invalid file name");
    expectFailure(runCli({"unite", "out.bin", "a", "missing"}, dir.path()), "Invalid file name");
    EXPECT_EQ(readFile(dir.file("a")), Bytes{1});
    EXPECT_EQ(readFile(dir.file("out.bin")), Bytes{1});
}

TEST(CliUnite, NeedsAnOutput)
{
    expectUsage(runCli({"unite"}));
    expectUsage(runCli({"unite", "--fast", "out"}));
}

TEST(CliCodify, AddsAndSubtracts)
{
    TempDir dir;
    writeFile(dir.file("d"), Bytes{10, 20, 30, 40, 50});
    writeFile(dir.file("k"), Bytes{1, 2});
    CliResult r = runCli({"codify", "+", "d", "k"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir.file("d")), (Bytes{11, 22, 31, 42, 51}));
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"d", "k"}));
    r = runCli({"codify", "-", dir.file("d"), dir.file("k")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("d")), (Bytes{10, 20, 30, 40, 50}));
}

TEST(CliCodify, FailuresPrintTheBoxText)
{
    TempDir dir;
    writeFile(dir.file("d"), Bytes{1, 2});
    writeFile(dir.file("empty"), Bytes{});
    expectFailure(runCli({"codify", "+", "d", "empty"}, dir.path()), "Read beyond end of file.");
    expectFailure(runCli({"codify", "+", "d", "d"}, dir.path()), "Invalid file name");
    expectFailure(runCli({"codify", "-", "d", "missing"}, dir.path()), "Invalid file name");
    EXPECT_EQ(readFile(dir.file("d")), (Bytes{1, 2}));
}

TEST(CliCodify, NeedsASignAndTwoFiles)
{
    expectUsage(runCli({"codify", "x", "d", "k"}));
    expectUsage(runCli({"codify", "+", "d"}));
    expectUsage(runCli({"codify", "+", "d", "k", "more"}));
    expectUsage(runCli({"codify"}));
}

TEST(CliErase, ErasesSilently)
{
    TempDir dir;
    writeFile(dir.file("f"), patternBytes(5000));
    const CliResult r = runCli({"erase", dir.file("f")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(exists(dir.file("f")));
}

TEST(CliErase, AMissingFileIsAnInvalidName)
{
    TempDir dir;
    expectFailure(runCli({"erase", dir.file("missing")}), "Invalid file name");
    expectFailure(runCli({"erase", dir.path()}), "Invalid file name");
    EXPECT_TRUE(exists(dir.path()));
}

TEST(CliErase, TakesOneFile)
{
    expectUsage(runCli({"erase"}));
    expectUsage(runCli({"erase", "a", "b"}));
}

} // namespace
