// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/atomic_output.h"
#include "fileio/copy.h"
#include "fileio/fault.h"
#include "fileio/file.h"
#include "fileio/output_batch.h"

#include "support/recording_progress.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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
    fileio::File full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(full.isOpen());
    const char byte = 0;
    EXPECT_EQ(full.write(&byte, 1), ENOSPC);
}

// Only a regular file is opened, and at once: a FIFO nobody writes to would make the open wait
// forever, a device never end. A link is followed unless refused.
TEST(FileLayer, OpensOnlyRegularFilesAndNeverWaits)
{
    TempDir dir;
    writeFile(dir.file("plain"), "x");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("plain", dir.file("link").c_str()), 0);
    ::mkdir(dir.file("folder").c_str(), 0700);
    const struct Row {
        std::string path;
        fileio::Links links;
        int expected;
    } rows[] = {
        {dir.file("plain"), fileio::Links::Refuse, 0},
        {dir.file("link"), fileio::Links::Follow, 0},
        {dir.file("link"), fileio::Links::Refuse, fileio::kSymbolicLink},
        {dir.file("fifo"), fileio::Links::Follow, fileio::kNotRegularFile},
        {dir.file("folder"), fileio::Links::Follow, fileio::kNotRegularFile},
        {"/dev/null", fileio::Links::Follow, fileio::kNotRegularFile},
        {dir.file("missing"), fileio::Links::Follow, ENOENT},
    };
    for (const Row &row : rows) {
        fileio::File reading, writing;
        EXPECT_EQ(fileio::openForReading(row.path, reading, row.links), row.expected) << row.path;
        EXPECT_EQ(fileio::openForReadWrite(row.path, writing, row.links), row.expected) << row.path;
        EXPECT_EQ(reading.isOpen(), row.expected == 0) << row.path;
    }
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
    out = fileio::File(::open("/dev/full", O_WRONLY | O_CLOEXEC));
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

// An output takes its name only when finished, keeps a replaced file's permission bits (set-user-ID
// along with its owner) and the links that led to it, and never replaces a file it must keep, whether its
// temporary is unnamed or, where the file system has no unnamed files, a hidden named one.
class AtomicOutput : public ::testing::TestWithParam<bool> {};

TEST_P(AtomicOutput, TakesTheNameOnlyWhenFinished)
{
    TempDir dir;
    if (GetParam())
        fileio::faults::armFrom(fileio::SysCall::Unnamed, 1, EOPNOTSUPP); // as a file system without them
    writeFile(dir.file("old"), "old");
    // What the old file is beside its bytes passes to the new one: owner, group, attributes.
    const bool root = ::geteuid() == 0;
    if (root)
        ASSERT_EQ(::chown(dir.file("old").c_str(), 1234, 5678), 0);
    ASSERT_EQ(::chmod(dir.file("old").c_str(), 04751), 0); // after the owner, whose change clears it
    const bool tagged = ::setxattr(dir.file("old").c_str(), "user.skarvel", "tag", 3, 0) == 0;
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
    EXPECT_EQ(st.st_mode & 07777, 04751u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 5678u);
    }
    char tag[8] = {};
    if (tagged) {
        EXPECT_EQ(::getxattr(dir.file("old").c_str(), "user.skarvel", tag, sizeof tag), 3);
    }
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"folder", "link", "old"})); // no temporary left
}

// Outputs held for one naming take none of their names until commit(), however many there are
// (past the number kept open, the oldest wait named hidden); commit() names them all.
TEST(OutputBatch, NamesAllOrNone)
{
    TempDir dir;
    for (const bool commit : {false, true}) {
        {
            fileio::OutputBatch batch(true);
            std::string failed;
            for (int n = 0; n < 300; ++n) {
                fileio::AtomicOutput output;
                ASSERT_EQ(output.open(dir.file("f" + std::to_string(n)), {}), 0);
                ASSERT_EQ(output.file().write("x", 1), 0);
                ASSERT_EQ(batch.add(std::move(output), failed), 0);
            }
            EXPECT_FALSE(exists(dir.file("f0")));
            if (commit) {
                ASSERT_EQ(batch.commit({}, failed), 0);
            }
        }
        EXPECT_EQ(listDir(dir.path()).size(), commit ? 300u : 0u); // dropped, it leaves no temporary
    }
}

// A name is removed only while it still leads to the file checked, itself.
TEST(FileLayer, RemoveIfStillRemovesOnlyTheFileChecked)
{
    TempDir dir;
    const auto idOf = [&](const std::string &name) { return *fileio::fileId(dir.file(name)); };
    writeFile(dir.file("a"), "a");
    writeFile(dir.file("b"), "b");
    const fileio::FileId a = idOf("a");
    ASSERT_EQ(::rename(dir.file("b").c_str(), dir.file("a").c_str()), 0); // another file under the name
    EXPECT_EQ(fileio::removeIfStill(dir.file("a"), a), fileio::kChanged);
    writeFile(dir.file("c"), "c");
    ASSERT_EQ(::symlink("c", dir.file("l").c_str()), 0);
    EXPECT_EQ(fileio::removeIfStill(dir.file("l"), idOf("c")), fileio::kChanged); // a link to it
    EXPECT_EQ(fileio::removeIfStill(dir.file("gone"), a), ENOENT);
    EXPECT_EQ(fileio::removeIfStill(dir.file("c"), idOf("c")), 0);
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"a", "l"}));
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndNamed, AtomicOutput, ::testing::Bool());

} // namespace
