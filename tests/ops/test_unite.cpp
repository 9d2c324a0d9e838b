// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "fileio/fault.h"
#include "ops/unite.h"

#include "support/outcome.h"
#include "support/recording_progress.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>

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
        EXPECT_EQ(outcome.kind, fileio::FailureKind::Report);
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

TEST_F(UniteTest, AnEmptyListEmptiesTheOutput)
{
    writeFile(dir.file("out.bin"), a);
    EXPECT_EQ(unite({}, dir.file("out.bin")), "");
    EXPECT_TRUE(readFile(dir.file("out.bin")).empty());
    EXPECT_EQ(progress.maximum, 0);
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
        EXPECT_EQ(unite({name}, output), fileio::kInvalidFileName) << output;
        EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"b"}) << output;
    }
    EXPECT_EQ(progress.maximum, -1);
}

TEST_F(UniteTest, AnOutputNamingAFolderFails)
{
    EXPECT_EQ(unite({input("b", b)}, dir.file("folder/")), fileio::kInvalidFileName);
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("folder").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(UniteTest, AVanishedInputLeavesThePartialOutput)
{
    const std::vector<std::string> inputs = {input("a", a), dir.file("gone"), input("c", c)};
    const int descriptors = openDescriptorCount();
    EXPECT_EQ(unite(inputs, dir.file("out.bin")), fileio::kInvalidFileName);
    EXPECT_EQ(readFile(dir.file("out.bin")), a);
    EXPECT_EQ(progress.maximum, 3);
    EXPECT_EQ(progress.position, 1);
    EXPECT_EQ(progress.resets, 0);
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

TEST_F(UniteTest, AFolderAsInputFails)
{
    ::mkdir(dir.file("folder").c_str(), 0755);
    EXPECT_EQ(unite({input("b", b), dir.file("folder")}, dir.file("out.bin")), fileio::kInvalidFileName);
    EXPECT_EQ(readFile(dir.file("out.bin")), b);
}

TEST_F(UniteTest, AnOutputThatCannotBeCreatedIsNotCreated)
{
    fileio::faults::ScopedFault fault(fileio::SysCall::Create, 1, EACCES);
    EXPECT_EQ(unite({input("b", b)}, dir.file("out.bin")), fileio::kInvalidFileName);
    EXPECT_FALSE(exists(dir.file("out.bin")));
    EXPECT_EQ(progress.maximum, -1);
}

// Each row names the output another way that leads to the second input.
struct SameFileRow {
    const char *why;
    std::string (*outputFor)(const TempDir &dir);
};

const SameFileRow kSameFileRows[] = {
    {"the same text", [](const TempDir &d) { return d.file("a"); }},
    {"another text", [](const TempDir &d) { return d.path() + "/./sub/../a"; }},
    {"a symbolic link", [](const TempDir &d) {
         EXPECT_EQ(::symlink(d.file("a").c_str(), d.file("link").c_str()), 0);
         return d.file("link");
     }},
    {"a hard link", [](const TempDir &d) {
         EXPECT_EQ(::link(d.file("a").c_str(), d.file("hard").c_str()), 0);
         return d.file("hard");
     }},
};

TEST_F(UniteTest, RefusesAnOutputThatIsAnInput)
{
    for (const SameFileRow &row : kSameFileRows) {
        ::mkdir(dir.file("sub").c_str(), 0755);
        const std::vector<std::string> inputs = {input("b", b), input("a", a)};
        EXPECT_EQ(unite(inputs, row.outputFor(dir)), fileio::kInvalidFileName) << row.why;
        EXPECT_EQ(readFile(dir.file("a")), a) << row.why;
        EXPECT_EQ(readFile(dir.file("b")), b) << row.why;
        EXPECT_EQ(progress.maximum, -1) << row.why;
    }
}

// An input missing at the start that the join itself creates: it is the output by then.
TEST_F(UniteTest, AnInputThatBecomesTheOutputFails)
{
    const std::string output = dir.file("out.bin");
    EXPECT_EQ(unite({input("b", b), output}, output), fileio::kInvalidFileName);
    EXPECT_EQ(readFile(output), b);
}

} // namespace
