// SPDX-License-Identifier: GPL-3.0-or-later
// info.txt and Recons.exe as Cut leaves them in the current directory.
#include "support/child_process.h"
#include "support/in_temp_dir.h"
#include "support/outcome.h"
#include "support/temp_dir.h"

#include "fileio/failure.h"
#include "fileio/fault.h"
#include "ops/cut.h"
#include "ops/progress.h"
#include "lists/part_list.h"
#include "partset/cut_set.h"
#include "partset/recons_image.h"
#include "partset/write_recons.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;
using fileio::SysCall;

// The current directory is the list's folder; sources lie there or in a folder of their own.
class PartList : public InTempDir {
protected:
    // Writes a source of `bytes` pattern bytes and cuts it into `count` parts, the list asked for.
    void cut(const std::string &source, std::size_t bytes, int count, const std::string &skip = "",
             bool replace = false)
    {
        writeFile(source, patternBytes(bytes));
        ops::CutRequest request;
        request.source = source;
        request.skip = ops::ParseSkipList(skip);
        request.mode.count = count;
        request.writePartList = true;
        request.joiners = partset::joinerImages();
        request.replaceExisting = replace;
        ops::NullProgress progress;
        ops::Cut(request, progress);
    }

    std::string here(const std::string &name) const { return dir.file(name); }

    TempDir m_other;
};

std::string failureText(const std::function<void()> &step)
{
    const Outcome outcome = outcomeOf(step);
    EXPECT_FALSE(outcome.reported);
    return outcome.failed ? outcome.text : "(no failure)";
}

mode_t modeOf(const std::string &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

TEST_F(PartList, NamesOnlyTheCreatedPartsInOrderWithCrLfAfterEach)
{
    cut(here("d.bin"), 40, 4, "3");

    EXPECT_EQ(readText(here("info.txt")), "d1.bin\r\nd2.bin\r\nd4.bin\r\n");
}

// A set its joiners cannot join is not written at all.
TEST_F(PartList, EveryPartSkippedMakesNoSet)
{
    const Outcome refused = outcomeOf([&] { cut(here("d.bin"), 30, 3, "1-3"); });
    EXPECT_TRUE(refused.reported);
    EXPECT_EQ(refused.text, "Invalid file size");
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"d.bin"});
}

TEST_F(PartList, AnOldListIsReplacedOnlyWithConsent)
{
    const std::string old = std::string(5000, 'x') + "\r\nold1.bin\r\n";
    writeFile(here("info.txt"), old);

    EXPECT_EQ(failureText([&] { cut(here("d.bin"), 20, 2); }), "I/O error " + std::to_string(EEXIST));
    EXPECT_EQ(readText(here("info.txt")), old);
    EXPECT_FALSE(exists(here("d1.bin")));

    cut(here("d.bin"), 20, 2, "", true);
    EXPECT_EQ(readText(here("info.txt")), "d1.bin\r\nd2.bin\r\n");
}

// The set is joined where it lies: beside the parts, not in the current directory.
TEST_F(PartList, TheSetLiesBesideThePartsWhereverTheSourceIs)
{
    cut(m_other.file("film.avi"), 30, 3, "2");

    EXPECT_EQ(readText(m_other.file("info.txt")), "film1.avi\r\nfilm3.avi\r\n");
    EXPECT_EQ(listDir(m_other.path()),
              (std::vector<std::string>{"Recons.exe", "film.avi", "film1.avi", "film3.avi", "info.txt", "join.command",
                                        "recons"}));
    EXPECT_TRUE(listDir(dir.path()).empty());
}

TEST_F(PartList, ListLongerThanItsBufferIsComplete)
{
    cut(here("a-rather-long-source-name-to-fill-the-list-buffer-quickly.bin"), 255, 255);

    std::string expected;
    for (int n = 1; n <= 255; ++n)
        expected += "a-rather-long-source-name-to-fill-the-list-buffer-quickly" + std::to_string(n) + ".bin\r\n";
    EXPECT_EQ(readText(here("info.txt")), expected);
}

TEST_F(PartList, FourOperationsWriteNamePartsOnly)
{
    lists::OpenList list = lists::OpenPartList();
    lists::AddToPartList(list, "/some/folder/x1.bin");
    lists::AddToPartList(list, "x2.bin");
    lists::AddToPartList(list, "rel/x3.bin");
    lists::ClosePartList(list);

    EXPECT_EQ(readText(here("info.txt")), "x1.bin\r\nx2.bin\r\nx3.bin\r\n");
}

TEST_F(PartList, ToolIsTheBuiltJoinerByteForByte)
{
    for (const auto &[platform, built] : {std::pair{partset::JoinerPlatform::Linux, SKARVEL_JOINER},
                                          std::pair{partset::JoinerPlatform::Windows, SKARVEL_WINDOWS_JOINER_FILE}}) {
        if (partset::ReconsImage(platform).empty())
            GTEST_SKIP() << "built without the Windows joiner";
        partset::WriteRecons({}, {}, false, platform);

        const Bytes written = readFile(here(partset::joinerFileName(platform)));
        EXPECT_EQ(written, readFile(built));
        const auto image = partset::ReconsImage(platform);
        EXPECT_EQ(written, Bytes(image.begin(), image.end()));
    }
    // The Windows one: small (241 KiB before it could rebuild parts, which may add 64 KiB), and a
    // PE32+ console program for x86-64.
    const auto pe = partset::ReconsImage(partset::JoinerPlatform::Windows);
    ASSERT_LE(pe.size(), (241u + 64) * 1024);
    const auto word = [&](std::size_t i) { return pe[i] | pe[i + 1] << 8; }; // little-endian
    const std::size_t header = word(0x3C) | static_cast<std::size_t>(word(0x3E)) << 16;
    EXPECT_EQ(word(0), 0x5A4D);           // "MZ"
    EXPECT_EQ(word(header), 0x4550);      // "PE\0\0"
    EXPECT_EQ(word(header + 4), 0x8664);  // x86-64
    EXPECT_EQ(word(header + 24), 0x20B);  // PE32+
    EXPECT_EQ(word(header + 24 + 68), 3); // the console subsystem
}

// A new joiner is executable less the umask; one that replaces a file keeps its mode, executable
// wherever it may be read.
TEST_F(PartList, ToolIsExecutableAndAReplacedOneKeepsItsMode)
{
    const mode_t old = ::umask(027);
    partset::WriteRecons({}, {}, false, partset::JoinerPlatform::Linux);
    writeFile(here("Recons.exe"), std::string(2 << 20, 'x'));
    fs::permissions(here("Recons.exe"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);

    partset::WriteRecons();

    ::umask(old);
    EXPECT_EQ(modeOf(here("recons")), 0750u);
    EXPECT_EQ(modeOf(here("Recons.exe")), 0705u);
    EXPECT_EQ(readFile(here("Recons.exe")).size(), partset::ReconsImage(partset::JoinerPlatform::Windows).size());
}

// The new joiner takes the name; the running one goes on from its old file.
TEST_F(PartList, RunningToolIsReplacedWhole)
{
    const auto linux = partset::JoinerPlatform::Linux;
    partset::WriteRecons({}, {}, false, linux);
    ChildProcess running(here("recons"), dir.path());
    running.readUntil("Error in info.txt\r\nThere is no info.txt in this folder\r\n");

    partset::WriteRecons({}, {}, false, linux);
    const auto image = partset::ReconsImage(linux);
    EXPECT_EQ(readFile(here("recons")), Bytes(image.begin(), image.end()));
    EXPECT_TRUE(running.stillRunning(0));
}

struct HeldSource {
    const char *why;
    std::string source; // in the current directory
    std::string link;   // made a link to the source when not empty
    bool partsCreated;
};

void PrintTo(const HeldSource &row, std::ostream *os)
{
    *os << row.why;
}

class PartListOverSource : public PartList, public ::testing::WithParamInterface<HeldSource> {};

TEST_P(PartListOverSource, IsRefusedAndTheSourceKept)
{
    const HeldSource &row = GetParam();
    const Bytes bytes = patternBytes(30);
    writeFile(here(row.source), bytes);
    if (!row.link.empty())
        fs::create_symlink(row.source, here(row.link));

    // Even with consent to replace files, never the source.
    EXPECT_EQ(failureText([&] { cut(here(row.source), 30, 3, "", true); }), "File access denied");

    EXPECT_EQ(readFile(here(row.source)), bytes);
    EXPECT_EQ(
        exists(here(row.source.substr(0, row.source.size() - 4) + "1" + row.source.substr(row.source.size() - 4))),
        row.partsCreated);
}

INSTANTIATE_TEST_SUITE_P(Names, PartListOverSource,
                         ::testing::Values(HeldSource{"a source named info.txt", "info.txt", "", false},
                                           HeldSource{"a source named Recons.exe", "Recons.exe", "", false},
                                           HeldSource{"info.txt a link to the source", "data.bin", "info.txt", false},
                                           HeldSource{"Recons.exe a link to the source", "data.bin", "Recons.exe",
                                                      false}),
                         [](const auto &info) { return "Row" + std::to_string(info.index); });

struct ListFault {
    const char *why;
    SysCall call;
    long nth;
    int err;
    const char *text;
    bool partsCreated; // the fault comes after the parts took their names
};

void PrintTo(const ListFault &row, std::ostream *os)
{
    *os << row.why;
}

class PartListFault : public PartList, public ::testing::WithParamInterface<ListFault> {};

TEST_P(PartListFault, EndsCutWithTheIoErrorTextAndKeepsTheSource)
{
    const ListFault &row = GetParam();
    writeFile(here("d.bin"), patternBytes(30));
    ops::CutRequest request;
    request.source = here("d.bin");
    request.mode.count = 3;
    request.writePartList = true;
    request.joiners = partset::joinerImages();
    request.deleteSource = true;
    ops::NullProgress progress;
    const int descriptors = openDescriptorCount();

    {
        fileio::faults::ScopedFault fault(row.call, row.nth, row.err);
        EXPECT_EQ(failureText([&] { ops::Cut(request, progress); }), row.text);
    }

    EXPECT_EQ(openDescriptorCount(), descriptors);
    EXPECT_TRUE(exists(here("d.bin")));
    EXPECT_EQ(exists(here("d1.bin")), row.partsCreated);
    EXPECT_EQ(exists(here("d3.bin")), row.partsCreated);
}

// Cut's calls in order: Unnamed 1 the temporary info.txt, Unnamed 2 to 4 the parts, Unnamed 5
// Recons.exe, Chmod 1 its mode, Unnamed 6 recons; once all are whole, Close 1 to 3 the parts,
// Close 4 and 5 the joiners, Close 6 the list, then the renames, the list's last.
INSTANTIATE_TEST_SUITE_P(
    Faults, PartListFault,
    ::testing::Values(
        ListFault{"info.txt cannot be created", SysCall::Unnamed, 1, EACCES, "File access denied", false},
        ListFault{"Recons.exe cannot be created", SysCall::Unnamed, 5, EACCES, "File access denied", false},
        ListFault{"Recons.exe cannot be made executable", SysCall::Chmod, 1, EPERM, "File access denied", false},
        ListFault{"the tool's close fails", SysCall::Close, 4, EIO, "I/O error 5", false},
        ListFault{"the list's close fails", SysCall::Close, 6, ENOSPC, "Disk full", false},
        ListFault{"the list cannot be given its name", SysCall::Rename, 6, EIO, "I/O error 5", true}),
    [](const auto &info) { return "Row" + std::to_string(info.index); });

TEST_F(PartList, WriteThatFailsIsReported)
{
    // err 0: a write that writes no byte.
    for (const int err : {ENOSPC, 0}) {
        {
            fileio::faults::ScopedFault fault(SysCall::Write, 1, err);
            EXPECT_EQ(failureText([] { partset::WriteRecons(); }), "Disk full");
        }
        lists::OpenList list = lists::OpenPartList();
        lists::AddToPartList(list, "x1.bin");
        fileio::faults::ScopedFault fault(SysCall::Write, 1, err);
        EXPECT_EQ(failureText([&] { lists::ClosePartList(list); }), "Disk full");
    }
}

} // namespace
