// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/atomic_output.h"
#include "fileio/copy.h"
#include "fileio/fault.h"
#include "fileio/file.h"

#include "support/recording_progress.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

TEST(FileExists, OnlyRegularFilesFollowingLinks)
{
    TempDir dir;
    writeFile(dir.file("file"), "x");
    ::mkdir(dir.file("folder").c_str(), 0755);
    ::mkfifo(dir.file("fifo").c_str(), 0644);
    ASSERT_EQ(::symlink(dir.file("file").c_str(), dir.file("link").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("gone").c_str(), dir.file("dangling").c_str()), 0);
    struct Row {
        std::string path;
        bool exists;
    } rows[] = {
        {dir.file("file"), true},
        {dir.file("link"), true},
        {dir.file("folder"), false},
        {dir.file("fifo"), false},
        {dir.file("dangling"), false},
        {dir.file("missing"), false},
        {"", false},
        {"/dev/null", false},
        {dir.file("file") + std::string(1, '\0') + "x", false}, // the system would read "file"
    };
    for (const Row &row : rows)
        EXPECT_EQ(fileio::fileExists(row.path), row.exists) << row.path;
}

TEST(FileLayer, NamesAndDirectories)
{
    EXPECT_EQ(fileio::namePart("/a/b/c.bin"), "c.bin");
    EXPECT_EQ(fileio::namePart("c.bin"), "c.bin");
    EXPECT_EQ(fileio::namePart("a\\b:c"), "a\\b:c"); // backslash and colon are name characters
    EXPECT_EQ(fileio::directoryPart("/a/b/c.bin"), "/a/b/");
    EXPECT_EQ(fileio::directoryPart("c.bin"), "");
}

TEST(FileLayer, MakeDirectoriesCreatesEveryMissingFolder)
{
    TempDir dir;
    EXPECT_EQ(fileio::makeDirectories(dir.file("a/b/c")), 0);
    EXPECT_EQ(fileio::makeDirectories(dir.file("a/b/c/")), 0); // exists already
    ScopedCurrentDir here(dir.path());
    EXPECT_EQ(fileio::makeDirectories("new/sub"), 0);
    EXPECT_EQ(fileio::makeDirectories("./x/../y"), 0);
    struct stat st {};
    EXPECT_EQ(::stat(dir.file("new/sub").c_str(), &st), 0);
    writeFile(dir.file("plain"), "x");
    EXPECT_EQ(fileio::makeDirectories("plain/sub"), ENOTDIR);
}

TEST(FileLayer, WriteToAFullDeviceIsDiskFull)
{
    fileio::File full;
    ASSERT_EQ(fileio::openForReadWrite("/dev/full", full), 0);
    const char byte = 0;
    EXPECT_EQ(full.write(&byte, 1), ENOSPC);
}

TEST(FileLayer, InjectedFaultsHitTheNthCallOnly)
{
    TempDir dir;
    writeFile(dir.file("f"), patternBytes(10));
    fileio::File file;
    ASSERT_EQ(fileio::openForReading(dir.file("f"), file), 0);
    char buffer[4];
    std::size_t got = 0;
    {
        fileio::faults::ScopedFault fault(fileio::SysCall::Read, 2, EIO);
        EXPECT_EQ(file.readAt(buffer, 4, 0, got), 0);
        EXPECT_EQ(file.readAt(buffer, 4, 0, got), EIO);
        EXPECT_EQ(file.readAt(buffer, 4, 0, got), 0);
        EXPECT_EQ(fileio::faults::count(fileio::SysCall::Read), 3);
    }
    {
        // A fault of 0 makes a read find the end of the file.
        fileio::faults::ScopedFault fault(fileio::SysCall::Read, 1, 0);
        EXPECT_EQ(file.readAt(buffer, 4, 0, got), 0);
        EXPECT_EQ(got, 0u);
    }
    {
        fileio::faults::ScopedFault fault(fileio::SysCall::Open, 1, EMFILE);
        fileio::File other;
        EXPECT_EQ(fileio::openForReading(dir.file("f"), other), EMFILE);
        EXPECT_FALSE(other.isOpen());
    }
    EXPECT_EQ(file.close(), 0);
}

class CopyBytes : public ::testing::TestWithParam<bool> {};

// The kernel copy and the buffered copy (forced by a failing copy_file_range) give the same bytes.
TEST_P(CopyBytes, CopiesTheRange)
{
    const bool buffered = GetParam();
    TempDir dir;
    const Bytes source = patternBytes(3 * fileio::kMaxBuffer + 17);
    writeFile(dir.file("in"), source);
    fileio::File in, out;
    ASSERT_EQ(fileio::openForReading(dir.file("in"), in), 0);
    ASSERT_EQ(fileio::createNewFile(dir.file("out"), out), 0);
    const auto length = static_cast<std::int64_t>(source.size()) - 10;
    RecordingProgress progress;
    {
        fileio::faults::ScopedFault fault(fileio::SysCall::CopyRange, buffered ? 1 : 0, EXDEV);
        EXPECT_TRUE(fileio::copyBytes(in, 5, out, length, &progress).ok());
    }
    // The display hears the copy move on, block by block, up to its whole length.
    ASSERT_FALSE(progress.partways.empty());
    EXPECT_EQ(progress.partways.back(), std::make_pair(length, length));
    EXPECT_TRUE(std::is_sorted(progress.partways.begin(), progress.partways.end()));
    ASSERT_EQ(out.close(), 0);
    EXPECT_EQ(readFile(dir.file("out")), Bytes(source.begin() + 5, source.end() - 5));

    // Asking for more than is left ends early.
    fileio::File again;
    ASSERT_EQ(fileio::createNewFile(dir.file("out2"), again), 0);
    EXPECT_EQ(fileio::copyBytes(in, 10, again, static_cast<std::int64_t>(source.size())).status,
              fileio::CopyResult::Status::EndOfInput);
}

INSTANTIATE_TEST_SUITE_P(KernelAndBuffer, CopyBytes, ::testing::Bool());

TEST(CopyBytesFailure, ToldApartByTheBufferedCopy)
{
    TempDir dir;
    writeFile(dir.file("in"), patternBytes(1000));
    fileio::File in, out;
    ASSERT_EQ(fileio::openForReading(dir.file("in"), in), 0);
    ASSERT_EQ(fileio::openForReadWrite("/dev/full", out), 0);
    const fileio::CopyResult full = fileio::copyBytes(in, 0, out, 1000);
    EXPECT_EQ(full.status, fileio::CopyResult::Status::WriteFailed);
    EXPECT_EQ(full.err, ENOSPC);

    fileio::File sink;
    ASSERT_EQ(fileio::createNewFile(dir.file("out"), sink), 0);
    fileio::faults::ScopedFault rangeFault(fileio::SysCall::CopyRange, 1, EIO);
    fileio::faults::ScopedFault readFault(fileio::SysCall::Read, 1, EIO);
    const fileio::CopyResult readFailed = fileio::copyBytes(in, 0, sink, 1000);
    EXPECT_EQ(readFailed.status, fileio::CopyResult::Status::ReadFailed);
    EXPECT_EQ(readFailed.err, EIO);
}

} // namespace

namespace {

// An output takes its name only when finished, keeps a replaced file's permission bits (but not
// set-user-ID) and the links that led to it, and never replaces a file it must keep, whether its
// temporary is unnamed or, where the file system has no unnamed files, a hidden named one.
class AtomicOutput : public ::testing::TestWithParam<bool> {};

TEST_P(AtomicOutput, TakesTheNameOnlyWhenFinished)
{
    TempDir dir;
    if (GetParam())
        fileio::faults::armFrom(fileio::SysCall::Unnamed, 1, EOPNOTSUPP); // as a file system without them
    writeFile(dir.file("old"), "old");
    ASSERT_EQ(::chmod(dir.file("old").c_str(), 04751), 0);
    ASSERT_EQ(::symlink("old", dir.file("link").c_str()), 0);
    ::mkdir(dir.file("folder").c_str(), 0755);
    const fileio::FileIds keep{*fileio::fileId(dir.file("old"))};
    const auto refused = [&](const std::string &name, fileio::AtomicOutput::Existing existing) {
        fileio::AtomicOutput output;
        return output.open(dir.file(name), keep, 0666, existing);
    };
    EXPECT_EQ(refused("old", fileio::AtomicOutput::Existing::Replace), fileio::kKeptFile);
    EXPECT_EQ(refused("link", fileio::AtomicOutput::Existing::Replace), fileio::kKeptFile);
    EXPECT_EQ(refused("folder", fileio::AtomicOutput::Existing::Replace), fileio::kNotRegularFile);
    EXPECT_EQ(refused("link", fileio::AtomicOutput::Existing::Refuse), fileio::kKeptFile);

    for (const bool finish : {false, true}) {
        fileio::AtomicOutput output;
        ASSERT_EQ(output.open(dir.file("link"), {}), 0);
        ASSERT_EQ(output.file().write("new", 3), 0);
        EXPECT_EQ(readText(dir.file("old")), "old"); // nothing shows before it is finished
        if (finish) {
            ASSERT_EQ(output.finish({}), 0);
        }
    }
    fileio::faults::disarm();
    EXPECT_EQ(readText(dir.file("link")), "new");
    EXPECT_TRUE(fileio::isSymbolicLink(dir.file("link")));
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("old").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u);
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"folder", "link", "old"})); // no temporary left
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndNamed, AtomicOutput, ::testing::Bool());

} // namespace
