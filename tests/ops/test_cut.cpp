// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/failure.h"
#include "fileio/fault.h"
#include "fileio/file.h"
#include "ops/cut.h"

#include "support/outcome.h"
#include "support/recording_progress.h"
#include "support/scratch_mount.h"
#include "support/skip.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

class CutTest : public ::testing::Test {
protected:
    void SetUp() override { writeFile(source(), data); }

    std::string source() const { return dir.file("data.bin"); }
    std::string part(int n, const std::string &marker = "") const
    {
        return dir.file("data" + marker + std::to_string(n) + ".bin");
    }
    ops::CutRequest byCount(int count) const
    {
        ops::CutRequest request;
        request.source = source();
        request.mode.count = count;
        return request;
    }
    void cut(const ops::CutRequest &request) { ops::Cut(request, progress); }
    // Runs the cut and returns the failure it reported.
    Outcome cutFails(const ops::CutRequest &request)
    {
        const Outcome outcome = outcomeOf([&] { cut(request); });
        EXPECT_TRUE(outcome.failed) << "the cut succeeded";
        return outcome;
    }
    Bytes slice(std::size_t from, std::size_t to) const { return Bytes(data.begin() + from, data.begin() + to); }

    TempDir dir;
    Bytes data = patternBytes(10);
    RecordingProgress progress;
};

TEST_F(CutTest, ByCountWritesEveryPart)
{
    cut(byCount(3));
    EXPECT_EQ(readFile(part(1)), slice(0, 4));
    EXPECT_EQ(readFile(part(2)), slice(4, 8));
    EXPECT_EQ(readFile(part(3)), slice(8, 10));
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"data.bin", "data1.bin", "data2.bin", "data3.bin"}));
    EXPECT_EQ(progress.maximum, 3);
    EXPECT_EQ(progress.steps, 3);
    EXPECT_EQ(progress.position, 0);
    EXPECT_EQ(progress.resets, 1);
}

TEST_F(CutTest, SkippedPartsAreNotCreated)
{
    struct Row {
        const char *skip;
        std::vector<int> created;
    } rows[] = {
        {"2", {1, 3}},
        {"3", {1, 2}},
        {"1 7 300", {2, 3}}, // numbers above the part count do nothing
        {"1-3", {}},
    };
    for (const Row &row : rows) {
        for (int n = 1; n <= 3; ++n)
            ::unlink(part(n).c_str());
        RecordingProgress rowProgress;
        ops::CutRequest request = byCount(3);
        request.skip = ops::ParseSkipList(row.skip);
        ops::Cut(request, rowProgress);
        for (int n = 1; n <= 3; ++n) {
            const bool wanted = std::find(row.created.begin(), row.created.end(), n) != row.created.end();
            EXPECT_EQ(exists(part(n)), wanted) << row.skip << " part " << n;
        }
        if (exists(part(3))) {
            EXPECT_EQ(readFile(part(3)), slice(8, 10)) << row.skip;
        }
        EXPECT_EQ(rowProgress.steps, 3) << row.skip;
    }
}

TEST_F(CutTest, PartListNamesCreatedPartsInOrder)
{
    ops::CutRequest request = byCount(4);
    writeFile(source(), patternBytes(40));
    request.skip = ops::ParseSkipList("3");
    request.writePartList = true;
    request.joiners = {{lists::JoinerPlatform::Sh, {}}};
    cut(request);
    EXPECT_EQ(readText(dir.file("info.txt")), "data1.bin\r\ndata2.bin\r\ndata4.bin\r\n");
    // The shell joiner lists the same parts with their sizes, and without digests checks sizes only.
    EXPECT_NE(
        readText(dir.file("join.command")).find("    part 'data2.bin' 'data2.bin' 10 '' ''\n    part 'data4.bin'"),
        std::string::npos);
}

// A set its joiners cannot join, or a deletion that loses the parts left out, is refused before
// anything is made; told so, the user may still delete a source whose parts are all left out.
TEST_F(CutTest, ASetOfFewerThanTwoPartsOrLostPartsAreRefused)
{
    struct Row {
        const char *why;
        const char *skip;
        bool list, deleteSource, consent;
        const char *refusal; // nullptr: the cut runs
        bool stream = false; // the source given as a stream, cut into parts of 6 bytes
    } rows[] = {
        {"no part for the set", "1-3", true, false, false, "Invalid file size"},
        {"one part for the set", "2 3", true, false, false, "Invalid file size"},
        {"parts left out lost", "2", false, true, false, "Invalid file name"},
        {"every part left out, lost", "1-3", false, true, false, "Invalid file name"},
        {"lost, with consent", "1-3", false, true, true, nullptr},
        // A stream's part count is known at its end: its set is refused then, before any name.
        {"a stream of two parts for the set", "", true, false, false, nullptr, true},
        {"a stream of one part for the set", "", true, false, false, "Invalid file size", true},
        {"a stream is never deleted", "", false, true, true, "Invalid file name", true},
    };
    for (const Row &row : rows) {
        writeFile(source(), row.stream && row.refusal && row.list ? slice(0, 6) : data);
        fileio::File stream;
        ASSERT_EQ(fileio::openForReading(source(), stream), 0);
        ops::CutRequest request = byCount(3);
        if (row.stream) {
            request.mode.partBytes = 6;
            request.stream = ops::CutStream{stream.handle(), "-"};
        }
        request.skip = ops::ParseSkipList(row.skip);
        request.writePartList = row.list;
        request.deleteSource = row.deleteSource;
        request.deleteLeavingPartsOut = row.consent;
        const Outcome outcome = outcomeOf([&] { cut(request); });
        EXPECT_EQ(outcome.text, row.refusal ? row.refusal : "") << row.why;
        EXPECT_EQ(exists(source()), row.refusal != nullptr || row.stream) << row.why;
        // The stream's source stays beside its two parts and info.txt.
        EXPECT_EQ(listDir(dir.path()).size(), row.refusal ? 1u : row.stream ? 4u : 0u) << row.why;
        for (const std::string &made : listDir(dir.path())) {
            if (made != "data.bin")
                ::unlink(dir.file(made).c_str());
        }
    }
}

TEST_F(CutTest, EmptySourceBySizeMakesNoPart)
{
    writeFile(source(), Bytes{});
    ops::CutRequest request = byCount(2);
    request.mode.partBytes = 5;
    cut(request);
    EXPECT_EQ(progress.maximum, 0);
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"data.bin"});
    request.writePartList = true; // a set of no part: nothing for a joiner to join
    EXPECT_EQ(cutFails(request).text, "Invalid file size");
}

TEST_F(CutTest, RefusedPlansLeaveNothing)
{
    struct Row {
        const char *why;
        std::size_t size;
        int count;
    } rows[] = {{"empty by count", 0, 2}, {"1 byte in 2", 1, 2}, {"9 bytes in 4", 9, 4}, {"7 bytes in 5", 7, 5}};
    for (const Row &row : rows) {
        writeFile(source(), patternBytes(row.size));
        ops::CutRequest request = byCount(row.count);
        request.writePartList = true;
        request.deleteSource = true;
        const Outcome failure = cutFails(request);
        EXPECT_TRUE(failure.reported) << row.why;
        EXPECT_EQ(failure.text, "Invalid file size") << row.why;
        EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"data.bin"}) << row.why;
        EXPECT_EQ(progress.maximum, -1) << row.why;
    }
}

// The Cut page's failures come in the order they always have: the source first, then its texts.
TEST_F(CutTest, MissingSourceIsInvalidFileNameBeforeTheSkipTextIsRead)
{
    for (const std::string &name : {dir.file("missing.bin"), dir.path(), std::string()}) {
        ops::CutPage page;
        page.source = name;
        page.skipText = "99999999999";
        const Outcome failure = outcomeOf([&] { ops::fromCutPage(page); });
        EXPECT_TRUE(failure.reported);
        EXPECT_EQ(failure.text, "Invalid file name");
    }
}

TEST_F(CutTest, UnconvertibleNumbersCreateNothing)
{
    ops::CutPage page;
    page.source = source();
    page.skipText = "1 2147483648";
    page.writePartList = true;
    EXPECT_EQ(outcomeOf([&] { ops::fromCutPage(page); }).text, "'2147483648' is not a valid integer value");

    page.skipText.clear();
    page.mode = {true, "4294967296", "byte", 2};
    EXPECT_EQ(outcomeOf([&] { ops::fromCutPage(page); }).text, "'4294967296' is not a valid integer value");
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"data.bin"});

    // Read as the page holds it: the marker only while it is ticked, sizes in their unit.
    page.mode = {true, "3", "Kb", 2};
    page.marker = "#";
    EXPECT_EQ(ops::fromCutPage(page).mode.partBytes, 3072);
    EXPECT_EQ(ops::fromCutPage(page).marker, "");
    page.markerOn = true;
    EXPECT_EQ(ops::fromCutPage(page).marker, "#");
}

TEST_F(CutTest, MarkerGoesIntoTheNames)
{
    ops::CutRequest request = byCount(2);
    request.marker = "#";
    cut(request);
    EXPECT_EQ(readFile(part(1, "#")), slice(0, 5));
    EXPECT_EQ(readFile(part(2, "#")), slice(5, 10));
}

TEST_F(CutTest, AnExistingPartFileIsReplacedOnlyWithConsent)
{
    const Bytes old = patternBytes(5000, 3);
    writeFile(part(1), old);
    const Outcome refused = cutFails(byCount(2));
    EXPECT_EQ(refused.text, "Cannot create file " + part(1));
    EXPECT_EQ(refused.reason, std::strerror(EEXIST));
    EXPECT_EQ(readFile(part(1)), old);
    EXPECT_FALSE(exists(part(2)));

    ops::CutRequest request = byCount(2);
    request.replaceExisting = true;
    EXPECT_EQ(ops::existingOutputs(request), std::vector<std::string>{part(1)});
    cut(request);
    EXPECT_EQ(readFile(part(1)), slice(0, 5));
}

TEST_F(CutTest, DeleteSourceAfterSuccess)
{
    ops::CutRequest request = byCount(3);
    request.deleteSource = true;
    cut(request);
    EXPECT_FALSE(exists(source()));
    Bytes joined;
    for (int n = 1; n <= 3; ++n) {
        const Bytes p = readFile(part(n));
        joined.insert(joined.end(), p.begin(), p.end());
    }
    EXPECT_EQ(joined, data);
}

TEST_F(CutTest, PartThatCannotBeCreatedStopsTheCutAndKeepsTheSource)
{
    writeFile(source(), patternBytes(30));
    ::mkdir(part(2).c_str(), 0755); // a folder where part 2 should go
    ops::CutRequest request = byCount(3);
    request.deleteSource = true;
    request.writePartList = true;
    const Outcome failure = cutFails(request);
    EXPECT_EQ(failure.text, "Cannot create file " + part(2));
    EXPECT_FALSE(exists(part(1))); // the parts take their names together, once all are whole
    EXPECT_FALSE(exists(part(3)));
    EXPECT_TRUE(exists(source()));
    EXPECT_FALSE(exists(dir.file("info.txt")));
    EXPECT_EQ(progress.steps, 1);
}

TEST_F(CutTest, MarkerWithAFolderThatDoesNotExist)
{
    ops::CutRequest request = byCount(2);
    request.marker = "/no/such/";
    const Outcome failure = cutFails(request);
    EXPECT_EQ(failure.text, "Cannot create file " + dir.file("data/no/such/1.bin"));
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"data.bin"});
}

TEST_F(CutTest, APartNameLinkedToTheSourceIsRefusedEvenWithConsent)
{
    ASSERT_EQ(::symlink(source().c_str(), part(1).c_str()), 0);
    ops::CutRequest request = byCount(2);
    request.replaceExisting = true;
    request.deleteSource = true;
    EXPECT_EQ(cutFails(request).text, "Cannot create file " + part(1));
    EXPECT_EQ(readFile(source()), data);

    // Part 2 a second name of part 1: each part takes its own name, neither is written into.
    ::unlink(part(1).c_str());
    writeFile(part(1), Bytes{});
    ASSERT_EQ(::link(part(1).c_str(), part(2).c_str()), 0);
    request.deleteSource = false;
    cut(request);
    EXPECT_EQ(readFile(part(1)), slice(0, 5));
    EXPECT_EQ(readFile(part(2)), slice(5, 10));
}

TEST_F(CutTest, CopyFailuresAreStreamErrors)
{
    struct Row {
        fileio::SysCall call;
        int err;
        const char *text;
    } rows[] = {
        {fileio::SysCall::Write, ENOSPC, "Stream write error"},
        {fileio::SysCall::Write, 0, "Stream write error"},
        {fileio::SysCall::Read, EIO, "Stream read error"},
        {fileio::SysCall::Read, 0, "Stream read error"}, // the source shrank under us
        {fileio::SysCall::Close, EIO, "Stream write error"},
        {fileio::SysCall::Unnamed, EACCES, nullptr},
    };
    for (const Row &row : rows) {
        fileio::faults::ScopedFault kernelCopyOff(fileio::SysCall::CopyRange, 1, EXDEV);
        fileio::faults::ScopedFault fault(row.call, 1, row.err);
        ops::CutRequest request = byCount(2);
        request.deleteSource = true;
        const std::string expected = row.text ? row.text : "Cannot create file " + part(1);
        const int before = openDescriptorCount();
        EXPECT_EQ(cutFails(request).text, expected);
        EXPECT_EQ(openDescriptorCount(), before);
        EXPECT_EQ(readFile(source()), data);
    }
}

// The source is removed only while it is what was read; a stop ends the cut with every part
// either whole under its name or not there.
TEST_F(CutTest, ASourceChangedOrAStopKeepsTheSource)
{
    struct Row {
        const char *why;
        std::function<void()> midway;
        const char *text;
    } rows[] = {
        {"appended to", [this] { std::ofstream(source(), std::ios::app) << "more"; }, "Stream read error"},
        {"rewritten", [this] { writeFile(source(), patternBytes(10, 9)); }, "Stream read error"},
        // Written in place, its modification time set back: the change time still tells.
        {"rewritten, its time set back",
         [this] {
             struct stat before {};
             ::stat(source().c_str(), &before);
             std::fstream(source(), std::ios::in | std::ios::out | std::ios::binary).put('X');
             const struct timespec times[2] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, source().c_str(), times, 0);
         },
         "Stream read error"},
        {"stopped", [this] { progress.stop = true; }, "Stopped"},
    };
    for (const Row &row : rows) {
        writeFile(source(), data);
        for (int n = 1; n <= 3; ++n)
            ::unlink(part(n).c_str());
        progress = RecordingProgress();
        progress.onStep = row.midway;
        ops::CutRequest request = byCount(3);
        request.deleteSource = true;
        request.replaceExisting = true;
        EXPECT_EQ(cutFails(request).text, row.text) << row.why;
        EXPECT_TRUE(exists(source())) << row.why;
        EXPECT_FALSE(exists(part(1))) << row.why; // nothing takes a name unless all do
    }
}

TEST_F(CutTest, SourceThatCannotBeOpened)
{
    fileio::faults::ScopedFault fault(fileio::SysCall::Open, 1, EACCES);
    EXPECT_EQ(cutFails(byCount(2)).text, "Cannot open file " + source());
}

TEST(CutRoundTrip, PartsJoinedInOrderGiveTheSource)
{
    struct Row {
        std::size_t size;
        bool bySize;
        const char *sizeText;
        const char *unit;
        int count;
        bool stream = false; // read as a stream: one ending on a part's edge leaves no empty part
        ops::PartNames names = ops::PartNames::Inserted;
    } rows[] = {
        {1, true, "1", "byte", 2},
        {2, false, "", "byte", 2},
        {255 * 4, false, "", "byte", 255},
        {3 << 20, true, "1", "Mb", 2},
        {(3 << 20) + 1, true, "1", "Mb", 2},
        {100000, true, "7", "Kb", 2},
        {5000001, false, "", "byte", 7},
        // Named .001 on: four digits from 1000 parts on, so a glob still gives the order.
        {255 * 4, false, "", "byte", 255, false, ops::PartNames::Numbered},
        {1001, true, "1", "byte", 2, false, ops::PartNames::Numbered},
        {0, true, "5", "byte", 2, true},
        {3 << 20, true, "1", "Mb", 2, true},
        {100000, true, "7", "Kb", 2, true},
        {65536 * 2 + 1, true, "64", "Kb", 2, true},
    };
    for (const Row &row : rows) {
        TempDir dir;
        const Bytes data = patternBytes(row.size);
        writeFile(dir.file("src.dat"), data);
        ops::CutRequest request;
        request.source = dir.file("src.dat");
        request.mode = ops::splitByOf({row.bySize, row.sizeText, row.unit, row.count});
        request.names = row.names;
        fileio::File stream;
        ASSERT_EQ(fileio::openForReading(request.source, stream), 0);
        if (row.stream)
            request.stream = ops::CutStream{stream.handle(), "-"};
        ops::NullProgress progress;
        ops::Cut(request, progress);
        std::vector<std::string> names = listDir(dir.path()); // sorted, as a shell glob gives them
        std::erase(names, "src.dat");
        for (int n = 1; row.names == ops::PartNames::Inserted && n <= static_cast<int>(names.size()); ++n)
            names[n - 1] = "src" + std::to_string(n) + ".dat";
        Bytes joined;
        for (const std::string &name : names) {
            const Bytes p = readFile(dir.file(name));
            EXPECT_FALSE(p.empty()) << row.size << " " << name;
            joined.insert(joined.end(), p.begin(), p.end());
        }
        EXPECT_EQ(joined, data) << row.size;
    }
}

constexpr std::int64_t GiB = std::int64_t{1} << 30;
constexpr const char *kNotInFatNames = ", which FAT and Windows file systems do not take in a name";

// A sparse file of 4 GiB and 1 MiB, its last 16 bytes a pattern.
bool writeSparse(const std::string &path)
{
    const std::int64_t size = 4 * GiB + (1 << 20);
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    const Bytes tail = patternBytes(16);
    const bool written = fd >= 0 && ::ftruncate(fd, size) == 0 && ::pwrite(fd, tail.data(), 16, size - 16) == 16;
    return ::close(fd) == 0 && written;
}

// A sparse source above 4 GiB cut into parts above 2 GiB: the offsets are 64-bit. The big
// parts are skipped, so only the last one is written.
TEST(CutLarge, SparseSourceOverFourGiB)
{
    TempDir dir;
    const std::string source = dir.file("big.img");
    ASSERT_TRUE(writeSparse(source));
    ops::CutRequest request;
    request.source = source;
    request.mode.partBytes = std::int64_t{2048} << 20;
    request.skip = ops::ParseSkipList("1-2");
    RecordingProgress progress;
    ops::Cut(request, progress);
    EXPECT_EQ(progress.maximum, 3);
    const Bytes last = readFile(dir.file("big3.img"));
    ASSERT_EQ(last.size(), std::size_t{1} << 20);
    EXPECT_EQ(Bytes(last.end() - 16, last.end()), patternBytes(16));
    EXPECT_EQ(last[0], 0);
}

// Parts over 4 GiB less one byte, or a marker with a character Windows refuses in names, are
// refused where the parts would go to a FAT file system, before anything is made; only the parts
// made count.
TEST(CutLarge, WhatTheFileSystemCannotHoldIsRefused)
{
    constexpr std::uint64_t kFat = 0x4d44, kExFat = 0x2011BAB0, kNtfs3 = 0x7366746e;
    const std::string kRecoveryTooLarge =
        "recovery parts of 4294967431 bytes do not fit a FAT file system (at most "
        "4294967295 bytes a file): ask for smaller parts";
    const std::string tooLarge =
        "parts of 4294967296 bytes do not fit a FAT file system (at most 4294967295 bytes a "
        "file): try --size fat32";
    struct Row {
        std::uint64_t fileSystem; // 0: the one the test runs on
        std::int64_t partBytes;
        const char *skip, *marker;
        std::string refused; // the reason, or the character the marker reason names; "" for none
        int recovery = 0;
    } rows[] = {
        {kFat, 4 * GiB, "", "", tooLarge},
        {kFat, 4 * GiB - 1, "1", "", ""}, // the largest FAT file
        {kFat, 4 * GiB + 1, "1", "", ""}, // the part too large is not made
        {kExFat, 4 * GiB, "1", "", ""},
        {0, 4 * GiB, "1", ":", ""},
        {kFat, 4 * GiB, "1", "a:b", "':'"},
        {kNtfs3, 4 * GiB, "1", "\x01", "Ctrl-A (0x01)"},
        {kExFat, 4 * GiB, "1", "?", "'?'"},
        // A recovery part is the largest part and its header of 120 bytes and 8 a part.
        {kFat, 4 * GiB - 1, "", "", kRecoveryTooLarge, 1},
    };
    for (const Row &row : rows) {
        TempDir dir;
        ASSERT_TRUE(writeSparse(dir.file("big.img")));
        ops::CutRequest request;
        request.source = dir.file("big.img");
        request.mode.partBytes = row.partBytes;
        request.skip = ops::ParseSkipList(row.skip);
        request.marker = row.marker;
        request.recovery = row.recovery;
        request.writeDigests = row.recovery > 0;
        const fileio::faults::ScopedFileSystemType faked(row.fileSystem);
        ops::NullProgress progress;
        const Outcome outcome = outcomeOf([&] { ops::Cut(request, progress); });
        const bool named = !row.refused.empty() && row.refused != tooLarge && row.recovery == 0;
        EXPECT_EQ(outcome.reported, row.refused == tooLarge || row.recovery > 0) << outcome.text; // "Invalid file size"
        EXPECT_EQ(outcome.reason, named ? "the marker text holds " + row.refused + kNotInFatNames : row.refused);
        EXPECT_EQ(listDir(dir.path()).size(), row.refused.empty() ? 2u : 1u) << outcome.text;
    }
}

// The same on a real FAT file system, where the kernel mounts one: nothing is made.
TEST(CutOnFat, AMarkerFatRefusesIsRefused)
{
    TempDir dir;
    ScratchMount disk(dir.file("fat"), ScratchMount::Vfat{1024});
    SKIP_UNLESS(disk.mounted(), "mount a vfat image: " << disk.why());
    writeFile(disk.file("data.bin"), patternBytes(100));
    ops::CutRequest request;
    request.source = disk.file("data.bin");
    request.marker = "|";
    ops::NullProgress progress;
    EXPECT_EQ(outcomeOf([&] { ops::Cut(request, progress); }).reason,
              "the marker text holds '|'" + std::string(kNotInFatNames));
    EXPECT_EQ(listDir(disk.path()), std::vector<std::string>{"data.bin"});
}

// A real full disk: a tiny tmpfs, where the machine lets us mount one.
TEST(CutFullDisk, TinyFileSystem)
{
    TempDir dir;
    ScratchMount disk(dir.file("small"), "64k");
    SKIP_UNLESS(disk.mounted(), "mount a tmpfs: " << disk.why());
    const std::string mountPoint = disk.path();
    const std::string source = mountPoint + "/data.bin";
    writeFile(source, patternBytes(40000));
    ops::CutRequest request;
    request.source = source;
    request.mode.count = 2;
    request.deleteSource = true;
    ops::NullProgress progress;
    EXPECT_EQ(outcomeOf([&] { ops::Cut(request, progress); }).text, "Stream write error");
    EXPECT_EQ(readFile(source), patternBytes(40000));
}

} // namespace
