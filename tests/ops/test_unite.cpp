// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "fileio/fault.h"
#include "ops/unite.h"

#include "support/outcome.h"
#include "support/recording_progress.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

class UniteTest : public ::testing::Test {
protected:
    std::string input(const std::string &name, const Bytes &bytes)
    {
        writeFile(dir.file(name), bytes);
        return dir.file(name);
    }
    // Runs the join and returns the text it reported, "" when it succeeded.
    std::string unite(const std::vector<std::string> &inputs, const std::string &output)
    {
        const Outcome outcome = outcomeOf([&] { ops::Unite(inputs, output, progress); });
        EXPECT_EQ(outcome.reported, outcome.failed);
        return outcome.text;
    }

    TempDir dir;
    RecordingProgress progress;
    const Bytes a = patternBytes(70000, 1); // more than one copy block
    const Bytes b = patternBytes(3, 2);
    const Bytes c = patternBytes(1, 3);
};

Bytes joined(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(UniteTest, JoinsInListOrder)
{
    const std::vector<std::string> inputs = {input("c", c), input("a", a), input("b", b)};
    EXPECT_EQ(unite(inputs, dir.file("out.bin")), "");
    EXPECT_EQ(readFile(dir.file("out.bin")), joined({c, a, b}));
    EXPECT_EQ(progress.maximum, 3);
    EXPECT_EQ(progress.steps, 3);
    EXPECT_EQ(progress.position, 0);
    EXPECT_EQ(progress.resets, 1);
}

TEST_F(UniteTest, CopiesADuplicateTwice)
{
    const std::string name = input("a", a);
    EXPECT_EQ(unite({name, input("b", b), name}, dir.file("out.bin")), "");
    EXPECT_EQ(readFile(dir.file("out.bin")), joined({a, b, a}));
}

TEST_F(UniteTest, EmptyInputsAddNothing)
{
    const std::string empty = input("empty", {});
    EXPECT_EQ(unite({empty, input("b", b), empty}, dir.file("out.bin")), "");
    EXPECT_EQ(readFile(dir.file("out.bin")), b);
}

// Nothing to join is no reason to empty a file of the output's name.
TEST_F(UniteTest, AnEmptyListIsRefusedAndTheOutputKept)
{
    writeFile(dir.file("out.bin"), a);
    EXPECT_EQ(unite({}, dir.file("out.bin")), ops::kInvalidFileName);
    EXPECT_EQ(readFile(dir.file("out.bin")), a);
    EXPECT_EQ(progress.maximum, -1);
}

TEST_F(UniteTest, CreatesMissingFoldersOfAFullPath)
{
    const std::string output = dir.file("one/two/out.bin");
    EXPECT_EQ(unite({input("b", b)}, output), "");
    EXPECT_EQ(readFile(output), b);
}

TEST_F(UniteTest, CreatesMissingFoldersOfARelativePath)
{
    const std::string name = input("b", b);
    ScopedCurrentDir here(dir.path());
    EXPECT_EQ(unite({name}, "new/sub/out.bin"), "");
    EXPECT_EQ(readFile(dir.file("new/sub/out.bin")), b);
}

TEST_F(UniteTest, ABareNameJoinsIntoTheCurrentFolder)
{
    const std::string name = input("b", b);
    ScopedCurrentDir here(dir.path());
    EXPECT_EQ(unite({name}, "out.bin"), "");
    EXPECT_EQ(readFile(dir.file("out.bin")), b);
}

TEST_F(UniteTest, RefusesWildcardNamesCreatingNothing)
{
    const std::string name = input("b", b);
    ScopedCurrentDir here(dir.path());
    for (const std::string output : {"*.*", "out?.bin", "new/*.*"}) {
        EXPECT_EQ(unite({name}, output), ops::kInvalidFileName) << output;
        EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"b"}) << output;
    }
    EXPECT_EQ(progress.maximum, -1);
}

// A failed join leaves an older file of the output's name as it was, no partial file and none of
// the folders it made; a missing input is found before anything is made.
TEST_F(UniteTest, AFailureLeavesTheOldOutputAndNothingMade)
{
    const Bytes old = patternBytes(9, 9);
    ::mkdir(dir.file("folder").c_str(), 0755);
    struct Row {
        const char *why;
        std::vector<std::string> inputs;
        std::string output;
        fileio::SysCall call = fileio::SysCall::Open;
        int err = 0; // 0: no fault injected
        std::int64_t maximum = -1;
    } rows[] = {
        {"a missing input", {input("a", a), dir.file("gone"), input("c", c)}, "out.bin"},
        {"a folder as input", {input("b", b), dir.file("folder")}, "out.bin"},
        {"the output is a folder", {input("b", b)}, "new/folder/"},
        {"the output cannot be created", {input("b", b)}, "new/out.bin", fileio::SysCall::Unnamed, EACCES},
        {"a full disk midway", {input("a", a), input("c", c)}, "out.bin", fileio::SysCall::Write, ENOSPC, 2},
        {"the rename fails", {input("b", b)}, "out.bin", fileio::SysCall::Rename, EIO, 1},
    };
    for (const Row &row : rows) {
        writeFile(dir.file("out.bin"), old);
        progress = RecordingProgress();
        const int descriptors = openDescriptorCount();
        fileio::faults::ScopedFault kernelCopyOff(fileio::SysCall::CopyRange, 1, EXDEV);
        fileio::faults::ScopedFault fault(row.call, row.err ? 1 : 0, row.err);
        EXPECT_EQ(unite(row.inputs, dir.file(row.output)), ops::kInvalidFileName) << row.why;
        EXPECT_EQ(readFile(dir.file("out.bin")), old) << row.why;
        EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"a", "b", "c", "folder", "out.bin"})) << row.why;
        EXPECT_EQ(progress.maximum, row.maximum) << row.why;
        EXPECT_EQ(progress.resets, 0) << row.why;
        EXPECT_EQ(openDescriptorCount(), descriptors) << row.why;
    }
}

// Each row names the output another way that leads to the second input.
struct SameFileRow {
    const char *why;
    std::string (*outputFor)(const TempDir &dir);
};

const SameFileRow kSameFileRows[] = {
    {"the same text", [](const TempDir &d) { return d.file("a"); }},
    {"another text", [](const TempDir &d) { return d.path() + "/./sub/../a"; }},
    {"a symbolic link",
     [](const TempDir &d) {
         EXPECT_EQ(::symlink(d.file("a").c_str(), d.file("link").c_str()), 0);
         return d.file("link");
     }},
    {"a hard link",
     [](const TempDir &d) {
         EXPECT_EQ(::link(d.file("a").c_str(), d.file("hard").c_str()), 0);
         return d.file("hard");
     }},
};

TEST_F(UniteTest, RefusesAnOutputThatIsAnInput)
{
    for (const SameFileRow &row : kSameFileRows) {
        ::mkdir(dir.file("sub").c_str(), 0755);
        const std::vector<std::string> inputs = {input("b", b), input("a", a)};
        const std::string output = row.outputFor(dir);
        EXPECT_EQ(unite(inputs, output), ops::kInvalidFileName) << row.why;
        // Standard output sent to it (-o - >> a) is refused as well.
        fileio::File stream(::open(output.c_str(), O_WRONLY | O_APPEND));
        EXPECT_EQ(outcomeOf([&] { ops::UniteToStream(inputs, stream, "-", progress); }).text, ops::kInvalidFileName);
        EXPECT_EQ(readFile(dir.file("a")), a) << row.why;
        EXPECT_EQ(readFile(dir.file("b")), b) << row.why;
        EXPECT_EQ(progress.maximum, -1) << row.why;
    }
}

// An input missing at the start that the join itself would create: refused before it is made.
TEST_F(UniteTest, AnInputThatWouldBecomeTheOutputFails)
{
    const std::string output = dir.file("out.bin");
    EXPECT_EQ(unite({input("b", b), output}, output), ops::kInvalidFileName);
    EXPECT_FALSE(exists(output));
}

} // namespace
