// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/fault.h"
#include "ops/erase.h"

#include "support/outcome.h"
#include "support/recording_progress.h"
#include "support/scratch_mount.h"
#include "support/skip.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

constexpr std::size_t kBlock = fileio::kMaxBuffer;

class EraseTest : public ::testing::Test {
protected:
    std::string file() const { return dir.file("secret.bin"); }

    // Runs Erase and returns the text its box would show, "" on success.
    std::string erase(const std::string &path)
    {
        return outcomeOf([&] { ops::Erase(path, progress); }).text;
    }

    TempDir dir;
    RecordingProgress progress;
};

bool allZero(const Bytes &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; });
}

// Sizes around the block length: the last block shorter, exactly full, a single byte.
const std::size_t kSizes[] = {1, 5, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock + 7};

TEST_F(EraseTest, OverwritesEveryByteWithZero)
{
    for (const std::size_t size : kSizes) {
        writeFile(file(), patternBytes(size));
        // A refused removal keeps the file, so the zeros can be looked at.
        fileio::faults::ScopedFault keep(fileio::SysCall::Remove, 1, EBUSY);
        EXPECT_EQ(erase(file()), "") << size;
        const Bytes after = readFile(file());
        EXPECT_EQ(after.size(), size);
        EXPECT_TRUE(allZero(after)) << size;
    }
}

TEST_F(EraseTest, RemovesTheFileAfterFlushingIt)
{
    writeFile(file(), patternBytes(5));
    fileio::faults::resetCounts();
    EXPECT_EQ(erase(file()), "");
    EXPECT_FALSE(exists(file()));
    EXPECT_EQ(fileio::faults::count(fileio::SysCall::Fsync), 1);
    EXPECT_EQ(progress.maximum, 5);
    EXPECT_EQ(progress.steps, 5);
    EXPECT_EQ(progress.position, 0);
    EXPECT_EQ(progress.resets, 1);
}

TEST_F(EraseTest, AnEmptyFileIsRemoved)
{
    writeFile(file(), Bytes{});
    fileio::faults::resetCounts();
    EXPECT_EQ(erase(file()), "");
    EXPECT_FALSE(exists(file()));
    EXPECT_EQ(progress.maximum, 0);
    EXPECT_EQ(fileio::faults::count(fileio::SysCall::Write), 0);
}

// Through a symbolic link, or under one name of several, the zeros would reach a file that stays.
TEST_F(EraseTest, MissingFilesFoldersLinksAndHardLinkedFilesAreRefused)
{
    ::mkdir(dir.file("folder").c_str(), 0755);
    writeFile(dir.file("target"), "kept");
    ASSERT_EQ(::symlink(dir.file("target").c_str(), dir.file("link").c_str()), 0);
    ASSERT_EQ(::link(dir.file("target").c_str(), dir.file("second-name").c_str()), 0);
    for (const std::string name : {"none", "folder", "link", "second-name"})
        EXPECT_EQ(erase(dir.file(name)), ops::kInvalidFileName) << name;
    EXPECT_EQ(erase(""), ops::kInvalidFileName);
    EXPECT_TRUE(exists(dir.file("folder")));
    EXPECT_EQ(readText(dir.file("target")), "kept");
    EXPECT_EQ(readText(dir.file("link")), "kept");
    EXPECT_EQ(progress.maximum, -1);
}

// A failure mid-way: the bytes before it are zero, the rest unchanged, the file stays.
struct FailureRow {
    const char *why;
    fileio::SysCall call;
    long nth;
    int err;
    std::string text;
    std::size_t zeros;
};

const FailureRow kFailureRows[] = {
    {"a full disk", fileio::SysCall::Write, 2, ENOSPC, "Disk full", kBlock},
    {"a write of no byte", fileio::SysCall::Write, 3, 0, "Disk full", 2 * kBlock},
    {"a device failure", fileio::SysCall::Write, 1, EIO, "I/O error " + std::to_string(EIO), 0},
    {"a failed flush", fileio::SysCall::Fsync, 1, EIO, "I/O error " + std::to_string(EIO), 3 * kBlock},
    {"the file vanished", fileio::SysCall::Open, 1, ENOENT, "File not found", 0},
};

TEST_F(EraseTest, AFailureLeavesTheFileInPlace)
{
    const Bytes original = patternBytes(3 * kBlock);
    for (const FailureRow &row : kFailureRows) {
        writeFile(file(), original);
        progress = RecordingProgress();
        {
            fileio::faults::ScopedFault fault(row.call, row.nth, row.err);
            EXPECT_EQ(erase(file()), row.text) << row.why;
        }
        const Bytes after = readFile(file());
        ASSERT_EQ(after.size(), original.size()) << row.why;
        EXPECT_TRUE(allZero(Bytes(after.begin(), after.begin() + row.zeros))) << row.why;
        EXPECT_TRUE(std::equal(after.begin() + row.zeros, after.end(), original.begin() + row.zeros)) << row.why;
        EXPECT_EQ(progress.resets, 0) << row.why;
        EXPECT_EQ(progress.position, static_cast<std::int64_t>(row.zeros)) << row.why;
    }
}

TEST(EraseReadOnly, AFileOnAReadOnlyMountIsAccessDenied)
{
    TempDir dir;
    ScratchMount disk(dir.file("ro"), "64k");
    SKIP_UNLESS(disk.mounted(), "mount a tmpfs: " << disk.why());
    const std::string path = disk.file("secret.bin");
    writeFile(path, patternBytes(100));
    SKIP_UNLESS(disk.makeReadOnly(), "make the tmpfs read-only");
    ops::NullProgress progress;
    EXPECT_EQ(outcomeOf([&] { ops::Erase(path, progress); }).text, "File access denied");
    EXPECT_EQ(readFile(path), patternBytes(100));
}

// Without root the permission bits are enough to make the file read-only.
TEST(EraseReadOnly, AReadOnlyFileIsAccessDenied)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes read-only files; the read-only mount covers this";
    TempDir dir;
    const std::string path = dir.file("secret.bin");
    writeFile(path, patternBytes(100));
    ::chmod(path.c_str(), 0444);
    ops::NullProgress progress;
    EXPECT_EQ(outcomeOf([&] { ops::Erase(path, progress); }).text, "File access denied");
    EXPECT_EQ(readFile(path), patternBytes(100));
}

} // namespace
