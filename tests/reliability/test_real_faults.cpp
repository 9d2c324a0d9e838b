// SPDX-License-Identifier: GPL-3.0-or-later
// Real faults where the machine allows them: a disk that fills up, a read-only mount, an
// immutable file that even root cannot write.
#include "fault_walk.h"
#include "joiner_run.h"
#include "support/in_temp_dir.h"
#include "support/scratch_mount.h"
#include "support/skip.h"

#include "support/temp_dir.h"

#include "ops/codify.h"
#include "ops/cut.h"
#include "ops/erase.h"
#include "ops/progress.h"
#include "ops/unite.h"
#include "partset/cut_set.h"
#include "partset/write_recons.h"

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace reliability {
namespace {

using namespace testsupport;

Outcome cut(const std::string &source, bool withList, bool deleteSource, bool replaceExisting = false)
{
    ops::CutRequest request;
    request.source = source;
    request.mode.count = 2;
    request.writePartList = withList;
    request.deleteSource = deleteSource;
    request.replaceExisting = replaceExisting;
    return cutWithTheSet(request);
}

Outcome unite(const std::vector<std::string> &inputs, const std::string &output)
{
    ops::NullProgress progress;
    return outcomeOf([&] { ops::Unite(inputs, output, progress); });
}

Outcome codify(const std::string &data, const std::string &key)
{
    ops::NullProgress progress;
    return outcomeOf([&] { ops::Codify(data, key, ops::CodifyDirection::Add, progress); });
}

Outcome erase(const std::string &path)
{
    ops::NullProgress progress;
    return outcomeOf([&] { ops::Erase(path, progress); });
}

// Runs the operation, checking that every descriptor it opened is closed again.
Outcome closing(const std::function<Outcome()> &operation)
{
    const int before = openDescriptorCount();
    const Outcome outcome = operation();
    EXPECT_EQ(openDescriptorCount(), before) << "a descriptor was left open";
    return outcome;
}

void expectBox(const Outcome &outcome, const std::string &text)
{
    EXPECT_TRUE(outcome.failed);
    EXPECT_FALSE(outcome.reported);
    EXPECT_EQ(outcome.text, text);
}

void expectReport(const Outcome &outcome, const std::string &text)
{
    EXPECT_TRUE(outcome.failed);
    EXPECT_TRUE(outcome.reported);
    EXPECT_EQ(outcome.text, text);
}

// ---- A full disk: a tmpfs of 64 KiB.

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override { SKIP_UNLESS(m_disk.mounted(), "mount a tmpfs: " << m_disk.why()); }

    TempDir m_dir;
    ScratchMount m_disk{m_dir.file("small"), "64k"};
};

TEST_F(FullDisk, CutWithTheListStopsAtTheJoinerAndKeepsTheSource)
{
    // The parts and the checksum list fit, the joiner does not: the set takes its names together,
    // so none of it carries a name.
    const std::string source = m_disk.file("data.bin");
    writeFile(source, patternBytes(20000));
    expectBox(closing([&] { return cut(source, true, true); }), "Disk full");
    EXPECT_EQ(readFile(source), patternBytes(20000));
    EXPECT_EQ(listDir(m_disk.path()), std::vector<std::string>{"data.bin"});
}

TEST_F(FullDisk, UniteOntoItChangesNoInput)
{
    const std::vector<std::string> inputs = {m_dir.file("a.bin"), m_dir.file("b.bin")};
    writeFile(inputs[0], patternBytes(50000, 1));
    writeFile(inputs[1], patternBytes(50000, 2));
    writeFile(m_disk.file("joined.bin"), std::string("old"));
    expectReport(closing([&] { return unite(inputs, m_disk.file("joined.bin")); }), "Invalid file name");
    EXPECT_EQ(readFile(inputs[0]), patternBytes(50000, 1));
    EXPECT_EQ(readFile(inputs[1]), patternBytes(50000, 2));
    EXPECT_EQ(readText(m_disk.file("joined.bin")), "old");
    EXPECT_EQ(listDir(m_disk.path()), std::vector<std::string>{"joined.bin"});
}

TEST_F(FullDisk, CodifyWithBuffVqOnItKeepsTheData)
{
    // buff.vq goes beside the data file: the data fits on the disk, a second copy does not.
    writeFile(m_disk.file("data.bin"), patternBytes(40000, 3));
    writeFile(m_dir.file("key.bin"), patternBytes(77, 4));
    expectBox(closing([&] { return codify(m_disk.file("data.bin"), m_dir.file("key.bin")); }), "Disk full");
    EXPECT_EQ(readFile(m_disk.file("data.bin")), patternBytes(40000, 3));
    EXPECT_EQ(readFile(m_dir.file("key.bin")), patternBytes(77, 4));
    EXPECT_EQ(listDir(m_disk.path()), std::vector<std::string>{"data.bin"}) << "buff.vq was left";
}

TEST_F(FullDisk, TheJoinerTellsAndKeepsTheParts)
{
    writeFile(m_dir.file("p1"), patternBytes(40000, 5));
    writeFile(m_dir.file("p2"), patternBytes(40000, 6));
    writeFile(m_dir.file("info.txt"), std::string("p1\r\np2\r\n"));
    writeFile(m_disk.file("joined.bin"), std::string("old"));
    const int before = openDescriptorCount();
    const JoinerRun run = runJoinerIn(m_dir.path(), m_disk.file("joined.bin") + "\n\n", m_dir.path());
    EXPECT_EQ(openDescriptorCount(), before);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(joinerReportText(run.printed), "Disk full");
    EXPECT_EQ(readFile(m_dir.file("p1")), patternBytes(40000, 5));
    EXPECT_EQ(readFile(m_dir.file("p2")), patternBytes(40000, 6));
    EXPECT_EQ(readText(m_disk.file("joined.bin")), "old");
    EXPECT_EQ(listDir(m_disk.path()), std::vector<std::string>{"joined.bin"});
}

// ---- A read-only mount: every operation that would write there is refused, nothing changes.

struct ReadOnlyRow {
    const char *name;
    // Runs the operation against files on the mount (m) and in a writable folder (w).
    std::function<Outcome(const std::string &m, const std::string &w)> run;
    bool report;      // ReportError rather than the default box
    std::string text; // "" when it goes through: it only reads there
};

void PrintTo(const ReadOnlyRow &row, std::ostream *out)
{
    *out << row.name;
}

class ReadOnlyMount : public ::testing::TestWithParam<ReadOnlyRow> {};

TEST_P(ReadOnlyMount, RefusesAndChangesNothing)
{
    TempDir dir;
    ScratchMount disk(dir.file("ro"), "1m");
    SKIP_UNLESS(disk.mounted(), "mount a tmpfs: " << disk.why());
    const std::vector<std::string> names = {"data.bin", "key.bin", "p1", "p2", "info.txt"};
    for (std::size_t i = 0; i < names.size(); ++i)
        writeFile(disk.file(names[i]), patternBytes(3000, static_cast<unsigned>(i)));
    writeFile(disk.file("info.txt"), std::string("p1\r\np2\r\n"));
    writeFile(dir.file("key.bin"), patternBytes(100, 9));
    SKIP_UNLESS(disk.makeReadOnly(), "make the tmpfs read-only: " << disk.why());
    const std::vector<std::string> before = listDir(disk.path());

    const ReadOnlyRow &row = GetParam();
    const Outcome outcome = closing([&] { return row.run(disk.path(), dir.path()); });
    std::string text = row.text;
    if (const auto at = text.find("{ro}"); at != std::string::npos)
        text.replace(at, 4, disk.path());
    if (text.empty())
        EXPECT_FALSE(outcome.failed) << outcome.text;
    else if (row.report)
        expectReport(outcome, text);
    else
        expectBox(outcome, text);

    EXPECT_EQ(listDir(disk.path()), before);
    for (std::size_t i = 0; i + 1 < names.size(); ++i)
        EXPECT_EQ(readFile(disk.file(names[i])), patternBytes(3000, static_cast<unsigned>(i))) << names[i];
}

const ReadOnlyRow kReadOnlyRows[] = {
    {"CutCannotCreateAPart",
     [](const std::string &m, const std::string &) { return cut(m + "/data.bin", false, true); }, false,
     "Cannot create file {ro}/data1.bin"},
    {"CodifyCannotOpenTheData",
     [](const std::string &m, const std::string &w) { return codify(m + "/data.bin", w + "/key.bin"); }, false,
     "File access denied"},
    // The key is only read.
    {"CodifyReadsTheKeyThere",
     [](const std::string &m, const std::string &w) {
         writeFile(w + "/data.bin", patternBytes(10));
         return codify(w + "/data.bin", m + "/key.bin");
     },
     false, ""},
    {"EraseCannotOpenTheFile", [](const std::string &m, const std::string &) { return erase(m + "/data.bin"); }, false,
     "File access denied"},
    {"UniteCannotCreateTheOutput",
     [](const std::string &m, const std::string &) {
         return unite({m + "/p1", m + "/p2"}, m + "/joined.bin");
     },
     true, "Invalid file name"},
    {"WriteReconsCannotCreateTheJoiner",
     [](const std::string &m, const std::string &) {
         ScopedCurrentDir here(m);
         return outcomeOf([] { partset::WriteRecons(); });
     },
     false, "File access denied"},
    {"TheJoinerCannotCreateItsOutput",
     [](const std::string &m, const std::string &w) {
         const JoinerRun run = runJoinerIn(m, "joined.bin\n\n", w);
         return Outcome::told(run.status == 1, false, joinerReportText(run.printed));
     },
     false, "File access denied"},
};

INSTANTIATE_TEST_SUITE_P(Reliability, ReadOnlyMount, ::testing::ValuesIn(kReadOnlyRows),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- An immutable file: what root's permission bits cannot show.

class Immutable : public InTempDir {
protected:
    // Makes the file immutable, or skips the test.
    void freeze(const std::string &path)
    {
        m_frozen.push_back(std::make_unique<ScopedImmutable>(path));
        SKIP_UNLESS(m_frozen.back()->set(), "make a file immutable: " << m_frozen.back()->why());
    }

    std::string file(const std::string &name) const { return dir.file(name); }

    // Codify with one of its two files frozen: the data file is refused and stays as it was; the
    // key, only read, serves.
    void codifyWithFrozen(const std::string &frozen)
    {
        writeFile(file("data.bin"), patternBytes(5000));
        writeFile(file("key.bin"), patternBytes(10, 2));
        freeze(file(frozen));
        if (IsSkipped())
            return;
        const Outcome outcome = closing([&] { return codify(file("data.bin"), file("key.bin")); });
        EXPECT_EQ(outcome.text, frozen == "key.bin" ? "" : "File access denied");
        EXPECT_EQ(readFile(file("data.bin")) == patternBytes(5000), outcome.failed);
        EXPECT_EQ(readFile(file("key.bin")), patternBytes(10, 2));
        EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"data.bin", "key.bin"}));
    }

    // Declared last, so the flags are cleared before the folder goes.
    std::vector<std::unique_ptr<ScopedImmutable>> m_frozen;
};

TEST_F(Immutable, EraseIsAccessDeniedAndTheFileStays)
{
    writeFile(file("doomed.bin"), patternBytes(5000));
    freeze(file("doomed.bin"));
    expectBox(closing([&] { return erase(file("doomed.bin")); }), "File access denied");
    EXPECT_EQ(readFile(file("doomed.bin")), patternBytes(5000));
}

TEST_F(Immutable, CodifyOfAnImmutableDataFileIsAccessDenied)
{
    codifyWithFrozen("data.bin");
}

TEST_F(Immutable, CodifyWithAnImmutableKeyReadsIt)
{
    codifyWithFrozen("key.bin");
}

TEST_F(Immutable, CutOntoAnImmutablePartCannotCreateItAndKeepsTheSource)
{
    writeFile(file("data.bin"), patternBytes(5000));
    writeFile(file("data2.bin"), std::string("kept"));
    freeze(file("data2.bin"));
    // Without consent the existing part is refused; with it, the rename over it is.
    expectBox(closing([&] { return cut(file("data.bin"), false, true); }), "Cannot create file " + file("data2.bin"));
    expectBox(closing([&] { return cut(file("data.bin"), false, true, true); }), "Stream write error");
    EXPECT_EQ(readFile(file("data.bin")), patternBytes(5000));
    EXPECT_EQ(readText(file("data2.bin")), "kept");
}

TEST_F(Immutable, UniteOntoAnImmutableOutputLeavesIt)
{
    writeFile(file("a.bin"), patternBytes(100));
    writeFile(file("out.bin"), std::string("kept"));
    freeze(file("out.bin"));
    expectReport(closing([&] { return unite({file("a.bin")}, file("out.bin")); }), "Invalid file name");
    EXPECT_EQ(readText(file("out.bin")), "kept");
}

TEST_F(Immutable, WriteReconsOverAnImmutableJoinerIsAccessDenied)
{
    writeFile(file("Recons.exe"), std::string("kept"));
    freeze(file("Recons.exe"));
    expectBox(closing([] { return outcomeOf([] { partset::WriteRecons(); }); }), "File access denied");
    EXPECT_EQ(readText(file("Recons.exe")), "kept");
}

} // namespace
} // namespace reliability
