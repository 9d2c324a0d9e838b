// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "fileio/fault.h"
#include "ops/codify.h"

#include "support/in_temp_dir.h"
#include "support/outcome.h"
#include "support/recording_progress.h"
#include "support/scratch_mount.h"
#include "support/skip.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace testsupport;
using ops::CodifyDirection;

namespace {

class CodifyTest : public InTempDir {
protected:
    std::string data() const { return dir.file("data.bin"); }
    std::string key() const { return dir.file("key.bin"); }
    std::string buffer() const { return dir.file("buff.vq"); }

    // Runs Codify in the test folder and returns the text its box would show, "" on success.
    std::string codify(CodifyDirection direction, const std::string &dataPath, const std::string &keyPath)
    {
        return outcomeOf([&] { ops::Codify(dataPath, keyPath, direction, progress); }).text;
    }
    std::string codify(CodifyDirection direction) { return codify(direction, data(), key()); }

    // Writes the data and a key of 9 bytes, and makes a small tmpfs the current folder, which puts
    // "buff.vq" on another file system than the data. False where no tmpfs can be mounted.
    bool writeWithBufferElsewhere(const Bytes &original)
    {
        m_scratch.emplace(dir.file("scratch"), "1m");
        if (!m_scratch->mounted())
            return false;
        m_there.emplace(dir.file("scratch"));
        writeFile(data(), original);
        writeFile(key(), patternBytes(9, 2));
        return true;
    }

    RecordingProgress progress;
    std::optional<ScratchMount> m_scratch;
    std::optional<ScopedCurrentDir> m_there; // left before the scratch disk is unmounted
};

// Byte i of the result, straight from the definition.
Bytes expected(const Bytes &data, const Bytes &key, CodifyDirection direction)
{
    Bytes result(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        const unsigned k = key[i % key.size()];
        result[i] = static_cast<unsigned char>(direction == CodifyDirection::Add ? data[i] + k : data[i] - k);
    }
    return result;
}

mode_t permissionBits(const std::string &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

struct ByteRow {
    const char *why;
    Bytes data, key;
    CodifyDirection direction;
    Bytes result;
};

const ByteRow kByteRows[] = {
    {"key repeats", {10, 20, 30, 40, 50}, {1, 2}, CodifyDirection::Add, {11, 22, 31, 42, 51}},
    {"and back", {11, 22, 31, 42, 51}, {1, 2}, CodifyDirection::Subtract, {10, 20, 30, 40, 50}},
    {"wraps up", {255}, {1}, CodifyDirection::Add, {0}},
    {"wraps down", {0}, {1}, CodifyDirection::Subtract, {255}},
    {"one-byte key shifts all", {1, 2, 3, 250}, {10}, CodifyDirection::Add, {11, 12, 13, 4}},
    {"longer key, first bytes only", {1, 1}, {5, 6, 7, 8}, CodifyDirection::Add, {6, 7}},
    {"empty data, any key", {}, {9}, CodifyDirection::Add, {}},
    {"empty data, empty key", {}, {}, CodifyDirection::Subtract, {}},
};

TEST_F(CodifyTest, ByteExamples)
{
    for (const ByteRow &row : kByteRows) {
        writeFile(data(), row.data);
        writeFile(key(), row.key);
        EXPECT_EQ(codify(row.direction), "") << row.why;
        EXPECT_EQ(readFile(data()), row.result) << row.why;
        EXPECT_EQ(readFile(key()), row.key) << row.why;
        EXPECT_FALSE(exists(buffer())) << row.why;
    }
}

TEST_F(CodifyTest, AnyNonZeroDirectionSubtracts)
{
    writeFile(data(), Bytes{5});
    writeFile(key(), Bytes{2});
    EXPECT_EQ(codify(static_cast<CodifyDirection>(7)), "");
    EXPECT_EQ(readFile(data()), Bytes{3});
}

// Sizes around the block and key cache limits, where the key wraps inside and across blocks.
struct SizeRow {
    const char *why;
    std::size_t dataSize, keySize;
};

const SizeRow kSizeRows[] = {
    {"short key", 1000, 7},
    {"key longer than data", 7, 1000},
    {"4 KiB key over several blocks", 700000, 4096},
    {"key just over a block", 600000, (256 << 10) + 1},
    {"uncached key read from the file", 900000, (256 << 10) + 3},
    {"data of one block exactly", 256 << 10, 100},
};

TEST_F(CodifyTest, RoundTripsAndMatchesTheDefinition)
{
    for (const SizeRow &row : kSizeRows) {
        const Bytes original = patternBytes(row.dataSize, 11);
        const Bytes keyBytes = patternBytes(row.keySize, 12);
        writeFile(data(), original);
        writeFile(key(), keyBytes);
        ASSERT_EQ(codify(CodifyDirection::Add), "") << row.why;
        EXPECT_EQ(readFile(data()), expected(original, keyBytes, CodifyDirection::Add)) << row.why;
        ASSERT_EQ(codify(CodifyDirection::Subtract), "") << row.why;
        EXPECT_EQ(readFile(data()), original) << row.why;
        EXPECT_EQ(readFile(key()), keyBytes) << row.why;
    }
}

TEST_F(CodifyTest, TwoAddsAreUndoneByTwoSubtracts)
{
    const Bytes original = patternBytes(5000);
    writeFile(data(), original);
    writeFile(key(), patternBytes(33, 4));
    for (auto direction :
         {CodifyDirection::Add, CodifyDirection::Add, CodifyDirection::Subtract, CodifyDirection::Subtract})
        ASSERT_EQ(codify(direction), "");
    EXPECT_EQ(readFile(data()), original);
}

TEST_F(CodifyTest, ProgressCountsBytes)
{
    writeFile(data(), patternBytes(600000));
    writeFile(key(), patternBytes(10));
    EXPECT_EQ(codify(CodifyDirection::Add), "");
    EXPECT_EQ(progress.maximum, 600000);
    EXPECT_EQ(progress.steps, 600000);
    EXPECT_EQ(progress.position, 0);
}

TEST_F(CodifyTest, AnEmptyKeyIsAReadBeyondTheEnd)
{
    const Bytes original = patternBytes(10);
    writeFile(data(), original);
    writeFile(key(), Bytes{});
    EXPECT_EQ(codify(CodifyDirection::Add), "Read beyond end of file");
    EXPECT_EQ(readFile(data()), original);
}

TEST_F(CodifyTest, MissingFilesAndFoldersAreInvalidNames)
{
    writeFile(data(), patternBytes(4));
    writeFile(key(), patternBytes(4, 5));
    ::mkdir(dir.file("folder").c_str(), 0755);
    EXPECT_EQ(codify(CodifyDirection::Add, dir.file("none"), key()), ops::kInvalidFileName);
    EXPECT_EQ(codify(CodifyDirection::Add, data(), dir.file("none")), ops::kInvalidFileName);
    EXPECT_EQ(codify(CodifyDirection::Add, dir.file("folder"), key()), ops::kInvalidFileName);
    EXPECT_EQ(codify(CodifyDirection::Add, data(), ""), ops::kInvalidFileName);
    EXPECT_FALSE(exists(buffer()));
    EXPECT_EQ(progress.maximum, -1);
}

// Each row makes the data and key paths (in the test folder, also the current one) name one file
// in two roles.
struct RoleRow {
    const char *why;
    const char *dataPath;
    const char *keyPath;
};

const RoleRow kRoleRows[] = {
    {"the same text", "data.bin", "data.bin"},
    {"another text for the data", "./data.bin", "data.bin"},
    {"a symbolic link to the data", "data.bin", "link"},
    {"a hard link to the data", "hard", "data.bin"},
    {"the data is buff.vq", "buff.vq", "key.bin"},
    {"the key is buff.vq", "data.bin", "./buff.vq"},
    {"the data reaches buff.vq by a link", "bufflink", "key.bin"},
};

TEST_F(CodifyTest, RefusesOneFileInTwoRoles)
{
    const Bytes dataBytes = patternBytes(100, 1), keyBytes = patternBytes(10, 2), bufferBytes = patternBytes(20, 3);
    writeFile(data(), dataBytes);
    writeFile(key(), keyBytes);
    writeFile(buffer(), bufferBytes);
    ASSERT_EQ(::symlink("data.bin", "link"), 0);
    ASSERT_EQ(::link("data.bin", "hard"), 0);
    ASSERT_EQ(::symlink("buff.vq", "bufflink"), 0);
    for (const RoleRow &row : kRoleRows) {
        EXPECT_EQ(codify(CodifyDirection::Add, row.dataPath, row.keyPath), ops::kInvalidFileName) << row.why;
        EXPECT_EQ(readFile(data()), dataBytes) << row.why;
        EXPECT_EQ(readFile(key()), keyBytes) << row.why;
        EXPECT_EQ(readFile(buffer()), bufferBytes) << row.why;
    }
}

TEST_F(CodifyTest, NamesDifferingInCaseAreTwoFiles)
{
    writeFile(dir.file("k"), Bytes{1});
    writeFile(dir.file("K"), Bytes{2});
    EXPECT_EQ(codify(CodifyDirection::Add, "k", "K"), "");
    EXPECT_EQ(readFile(dir.file("k")), Bytes{3});
}

// Whatever step fails, the data file keeps its bytes, and the result's temporary file goes.
TEST_F(CodifyTest, AFailureLeavesTheDataIntactAndNoTemporary)
{
    constexpr std::int64_t kSize = 700000;
    const Bytes original = patternBytes(kSize);
    const Bytes keyBytes = patternBytes(7, 2);
    struct Row {
        fileio::SysCall call;
        long nth;
        int err;
        const char *text;
        std::int64_t position;
    } rows[] = {
        {fileio::SysCall::Rename, 1, EBUSY, "I/O error 16", kSize},
        {fileio::SysCall::Write, 2, 0, "Disk full", 256 << 10},
        {fileio::SysCall::Fsync, 1, EIO, "I/O error 5", kSize},
    };
    for (const Row &row : rows) {
        writeFile(data(), original);
        writeFile(key(), keyBytes);
        progress = RecordingProgress();
        {
            fileio::faults::ScopedFault fault(row.call, row.nth, row.err);
            EXPECT_EQ(codify(CodifyDirection::Add), row.text);
        }
        EXPECT_EQ(readFile(data()), original) << row.text;
        EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"data.bin", "key.bin"})) << row.text;
        EXPECT_EQ(progress.position, row.position) << row.text;
    }
    EXPECT_EQ(codify(CodifyDirection::Add), "");
    EXPECT_EQ(readFile(data()), expected(original, keyBytes, CodifyDirection::Add));
}

// The result's temporary file lies beside the data file, so the current folder (another file
// system here) holds nothing of it, and a "buff.vq" there is none of Codify's business.
TEST_F(CodifyTest, TheTemporaryLiesBesideTheDataFile)
{
    const Bytes original = patternBytes(5000);
    SKIP_UNLESS(writeWithBufferElsewhere(original), "mount a tmpfs: " << m_scratch->why());
    writeFile("buff.vq", "a file of the user's");
    EXPECT_EQ(codify(CodifyDirection::Subtract), "");
    EXPECT_EQ(readFile(data()), expected(original, patternBytes(9, 2), CodifyDirection::Subtract));
    EXPECT_EQ(listDir(dir.file("scratch")), std::vector<std::string>{"buff.vq"});
    EXPECT_EQ(readText(dir.file("scratch/buff.vq")), "a file of the user's");
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"data.bin", "key.bin", "scratch"}));
}

TEST_F(CodifyTest, KeepsThePermissionBitsAndTheOwner)
{
    writeFile(key(), patternBytes(3));
    // Root can give the result any owner; anyone else keeps their own.
    const uid_t owner = ::geteuid() == 0 ? 4321 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 8765 : ::getegid();
    for (const mode_t bits : {0600, 0640, 0755, 0444, 02750}) {
        writeFile(data(), patternBytes(10));
        ASSERT_EQ(::chown(data().c_str(), owner, group), 0);
        ::chmod(data().c_str(), bits);
        // Extended attributes go with it too, where the file system keeps them.
        const bool tagged = ::setxattr(data().c_str(), "user.skarvel", "kept", 4, 0) == 0;
        EXPECT_EQ(codify(CodifyDirection::Add), "") << bits;
        EXPECT_EQ(permissionBits(data()), bits) << bits;
        char value[8] = {};
        EXPECT_EQ(::getxattr(data().c_str(), "user.skarvel", value, sizeof value), tagged ? 4 : -1) << bits;
        struct stat st {};
        ASSERT_EQ(::stat(data().c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, owner) << bits;
        EXPECT_EQ(st.st_gid, group) << bits;
        ::chmod(data().c_str(), 0600);
    }
}

TEST_F(CodifyTest, AResultThatCannotTakeTheModeLeavesTheDataIntact)
{
    const Bytes original = patternBytes(10);
    writeFile(data(), original);
    writeFile(key(), patternBytes(3));
    fileio::faults::ScopedFault fault(fileio::SysCall::Chmod, 1, EPERM);
    EXPECT_EQ(codify(CodifyDirection::Add), "File access denied");
    EXPECT_EQ(readFile(data()), original);
}

TEST_F(CodifyTest, ALinkedDataFileKeepsItsLink)
{
    const Bytes original = patternBytes(10);
    ::mkdir(dir.file("real").c_str(), 0755);
    writeFile(dir.file("real/target.bin"), original);
    writeFile(key(), Bytes{1});
    ASSERT_EQ(::symlink("real/target.bin", "link.bin"), 0);
    EXPECT_EQ(codify(CodifyDirection::Add, "link.bin", key()), "");
    struct stat st {};
    ASSERT_EQ(::lstat("link.bin", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(dir.file("real/target.bin")), expected(original, {1}, CodifyDirection::Add));
}

// A "buff.vq" beside the data file, a link or a file left by a run cut short, is never emptied or
// removed: Codify refuses and changes nothing.
TEST_F(CodifyTest, AnExistingBuffVqIsRefusedAndKept)
{
    const Bytes other = patternBytes(50, 9);
    writeFile(dir.file("other.bin"), other);
    writeFile(data(), Bytes{1, 2});
    writeFile(key(), Bytes{1});
    for (const bool link : {true, false}) {
        if (link)
            ASSERT_EQ(::symlink("other.bin", "buff.vq"), 0);
        else
            writeFile(buffer(), other);
        const Outcome outcome = outcomeOf([&] { ops::Codify(data(), key(), CodifyDirection::Add, progress); });
        EXPECT_EQ(outcome.text, ops::kInvalidFileName);
        EXPECT_EQ(outcome.path, buffer());
        EXPECT_EQ(readFile(data()), (Bytes{1, 2}));
        EXPECT_EQ(readFile(buffer()), other);
        ::unlink(buffer().c_str());
    }
}

// Another name of the data file would keep the old bytes: refused, nothing changed.
TEST_F(CodifyTest, ADataFileWithOtherNamesIsRefused)
{
    writeFile(data(), Bytes{1, 2});
    writeFile(key(), Bytes{1});
    ASSERT_EQ(::link(data().c_str(), dir.file("other-name").c_str()), 0);
    EXPECT_EQ(codify(CodifyDirection::Add), ops::kInvalidFileName);
    EXPECT_EQ(readFile(dir.file("other-name")), (Bytes{1, 2}));
    EXPECT_FALSE(exists(buffer()));
}

TEST(CodifyReadOnly, AReadOnlyKeyServesAsWell)
{
    TempDir dir;
    ScopedCurrentDir here(dir.path());
    ScratchMount disk(dir.file("ro"), "64k");
    SKIP_UNLESS(disk.mounted(), "mount a tmpfs: " << disk.why());
    writeFile(disk.file("key.bin"), Bytes{1});
    SKIP_UNLESS(disk.makeReadOnly(), "make the tmpfs read-only");
    writeFile(dir.file("data.bin"), Bytes{1, 2});
    ops::NullProgress progress;
    const auto codify = [&] {
        ops::Codify(dir.file("data.bin"), disk.file("key.bin"), CodifyDirection::Add, progress);
    };
    EXPECT_EQ(outcomeOf(codify).text, "");
    EXPECT_EQ(readFile(dir.file("data.bin")), (Bytes{2, 3}));
}

} // namespace
