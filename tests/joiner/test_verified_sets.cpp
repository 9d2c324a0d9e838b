// SPDX-License-Identifier: GPL-3.0-or-later
// A set cut with --sha256 --recons, then damaged in one way or another, run through
// skarvel-cli verify, the emitted joiner and unite --list: each names the bad part and never
// leaves a wrong joined file behind.
#include "support/child_process.h"
#include "lists/checksum_list.h"
#include "lists/recovery_header.h"
#include "support/temp_dir.h"
#include "support/tested_joiner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <functional>
#include <map>

#include <sys/stat.h>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

struct SetCase {
    const char *why;
    std::string stem; // the source is STEM.bin, its parts STEM1.bin to STEM4.bin
    std::function<void(const std::string &dir)> harm;
    std::string bad;        // the part named as bad, or "" for a set that joins
    std::string verifyOut;  // the faults verify finds
    std::string joinerSays; // a line of the joiner's
    int joinerStatus;
    const char *notOnWindows = nullptr; // why the row does not hold there
    bool verifyPasses = false;          // every listed file is whole, though the set is not
    bool numbered = false;              // cut with --names=001: STEM.bin.001 to STEM.bin.004
};

// Both lists of the set edited alike: every part checks out by its own line, but the join is not
// the file the whole file's line names.
std::function<void(const std::string &)> editBothLists(const std::function<void(std::vector<std::string> &lines)> &edit)
{
    return [edit](const std::string &dir) {
        for (const char *name : {"info.txt", "info.sha256"}) {
            const std::string text = readText(dir + "/" + name);
            const std::string end = name == std::string("info.txt") ? "\r\n" : "\n";
            std::vector<std::string> lines;
            for (std::size_t at = 0, next; (next = text.find(end, at)) != std::string::npos; at = next + end.size())
                lines.push_back(text.substr(at, next - at));
            edit(lines); // the part lines come first in both, in the same order
            std::string edited;
            for (const std::string &line : lines)
                edited += line + end;
            writeFile(dir + "/" + name, edited);
        }
    };
}

constexpr const char *kWholeDiffers = "the joined file's SHA-256 differs from the whole file's line";

void PrintTo(const SetCase &row, std::ostream *os)
{
    *os << row.why;
}

void flipByte(const std::string &path, std::size_t at)
{
    Bytes bytes = readFile(path);
    bytes.at(at) ^= 0xFF;
    writeFile(path, bytes);
}

class VerifiedSet : public ::testing::TestWithParam<SetCase> {
protected:
    // Cuts the source into four parts with the list, the joiner and the digests, then moves the
    // source away: the folder is what a receiver gets.
    void SetUp() override
    {
        SKARVEL_SKIP_UNLESS_JOINER_RUNS();
        if (kWindowsJoiner && GetParam().notOnWindows)
            GTEST_SKIP() << GetParam().notOnWindows;
        writeFile(m_dir.file(source()), m_data);
        std::vector<std::string> args{"cut", "--count", "4", "--recons", kJoinerOption, "--sha256", source()};
        if (GetParam().numbered)
            args.push_back("--names=001");
        const CliResult cut = runCli(args, m_dir.path());
        ASSERT_EQ(cut.status, 0) << cut.err;
        fs::rename(m_dir.file(source()), m_dir.file("original"));
        GetParam().harm(m_dir.path());
    }

    std::string source() const { return GetParam().stem + ".bin"; }
    std::string part(int n) const { return m_dir.file(GetParam().stem + std::to_string(n) + ".bin"); }

    TempDir m_dir;
    const Bytes m_data = patternBytes(4000, 5);
};

TEST_P(VerifiedSet, VerifyTheJoinerAndUniteNameTheBadPart)
{
    const SetCase &row = GetParam();
    const CliResult verify = runCli({"verify"}, m_dir.path());
    EXPECT_EQ(verify.out, row.verifyOut.empty() ? "4 listed files whole\n" : row.verifyOut);
    EXPECT_EQ(verify.status, row.verifyOut.empty() || row.verifyPasses ? 0 : 1) << verify.err;

    const CliResult joiner = runCommand(joinerCommand(m_dir.file(kTestedJoinerFile)), m_dir.path(), "joined\n\n");
    EXPECT_NE(joiner.out.find("\r\n" + (row.bad.empty() ? "SHA-256 verified" : row.joinerSays) + "\r\n"),
              std::string::npos)
        << joiner.out;
    EXPECT_EQ(joiner.status, row.joinerStatus);
    const CliResult unite = runCli({"unite", "-o", "united", "--list", "info.txt"}, m_dir.path());
    EXPECT_EQ(unite.status, row.bad.empty() ? 0 : 1);
    EXPECT_TRUE(row.bad.empty() ? unite.err.empty() : unite.err.starts_with("skarvel-cli: " + row.bad)) << unite.err;
    // On standard output the bytes have left: a bad join is said, with exit status 1.
    const CliResult piped = runCli({"unite", "-o", "-", "--list", "info.txt"}, m_dir.path());
    EXPECT_EQ(piped.status, unite.status);
    std::string said = unite.err;
    if (const std::size_t at = said.find("; united is not made"); at != std::string::npos)
        said.replace(at, said.size() - at, "; the join written to standard output is bad\n");
    EXPECT_EQ(piped.err, said);
    if (row.bad.empty())
        EXPECT_EQ(piped.out, std::string(m_data.begin(), m_data.end()));
    for (const char *output : {"joined", "united"}) {
        if (row.bad.empty())
            EXPECT_EQ(readFile(m_dir.file(output)), m_data);
        else
            EXPECT_FALSE(exists(m_dir.file(output))) << output;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VerifiedSet,
    ::testing::Values(
        SetCase{"the whole set", "s", [](const std::string &) {}, "", "", "", 0},
        SetCase{"one byte flipped in part 2", "s", [](const std::string &d) { flipByte(d + "/s2.bin", 999); }, "s2.bin",
                "s2.bin: damaged\n", "s2.bin is damaged: its SHA-256 differs; joined is not made", 1},
        // The joiner's own list check finds it before anything is made.
        SetCase{"part 3 missing", "s", [](const std::string &d) { fs::remove(d + "/s3.bin"); }, "info.txt: line 3",
                "s3.bin: missing\n", "Part not found: s3.bin", 1},
        SetCase{"the last part truncated", "s", [](const std::string &d) { fs::resize_file(d + "/s4.bin", 999); },
                "s4.bin", "s4.bin: damaged\n", "s4.bin is damaged: its SHA-256 differs; joined is not made", 1},
        SetCase{"an extra line in info.txt", "s",
                [](const std::string &d) {
                    writeFile(d + "/x.bin", "x");
                    writeFile(d + "/info.txt", readText(d + "/info.txt") + "x.bin\r\n");
                },
                "x.bin", "", "x.bin is not in info.sha256", 1},
        SetCase{"a name with a blank and a backslash", "a b\\c", [](const std::string &) {}, "", "", "", 0,
                "a backslash separates folders on Windows"},
        SetCase{"part 2's lines dropped from both lists", "s",
                editBothLists([](auto &lines) { lines.erase(lines.begin() + 1); }), kWholeDiffers,
                "3 listed files whole\n", std::string(kWholeDiffers) + "; joined is not made", 1, nullptr, true},
        SetCase{"two lines swapped in both lists", "s",
                editBothLists([](auto &lines) { std::swap(lines[1], lines[2]); }), kWholeDiffers,
                "4 listed files whole\n", std::string(kWholeDiffers) + "; joined is not made", 1, nullptr, true},
        SetCase{"a line repeated in both lists", "s",
                editBothLists([](auto &lines) { lines.insert(lines.begin() + 1, lines[1]); }), kWholeDiffers,
                "5 listed files whole\n", std::string(kWholeDiffers) + "; joined is not made", 1, nullptr, true},
        SetCase{"a UTF-8 name", "фильм ü", [](const std::string &d) { flipByte(d + "/фильм ü3.bin", 7); },
                "'фильм ü3.bin'", "'фильм ü3.bin': damaged\n",
                "фильм ü3.bin is damaged: its SHA-256 differs; joined is not made", 1},
        // The names other tools read join alike.
        SetCase{"the whole set named .001", "s", [](const std::string &) {}, "", "", "", 0, nullptr, false, true},
        SetCase{"part .002 damaged", "s", [](const std::string &d) { flipByte(d + "/s.bin.002", 9); }, "s.bin.002",
                "s.bin.002: damaged\n", "s.bin.002 is damaged: its SHA-256 differs; joined is not made", 1, nullptr,
                false, true}),
    [](const auto &info) { return "Row" + std::to_string(info.index); });

// A set of four parts and N recovery parts (files 0-3 and 4..), some of them harmed.
enum class Harm { Missing, Damaged, Truncated, Extended };
struct RecoveryCase {
    int perGroup;
    std::vector<std::pair<int, Harm>> harmed;
};

void PrintTo(const RecoveryCase &row, std::ostream *os)
{
    *os << "N " << row.perGroup << ", files";
    for (const auto &[file, harm] : row.harmed)
        *os << " " << file << "/" << static_cast<int>(harm);
}

// Every set of up to N + 1 harmed files for N = 1, 2, 3, the harms taken in turn so that each
// file meets each.
std::vector<RecoveryCase> recoveryCases()
{
    std::vector<RecoveryCase> rows;
    for (int n = 1; n <= 3; ++n) {
        const int files = 4 + n;
        for (unsigned mask = 0; mask < (1U << files); ++mask) {
            if (std::popcount(mask) > n + 1)
                continue;
            RecoveryCase row{n, {}};
            for (int file = 0; file < files; ++file)
                if (mask & (1U << file))
                    row.harmed.emplace_back(file, static_cast<Harm>((mask + row.harmed.size()) % 4));
            rows.push_back(row);
        }
    }
    return rows;
}

void harm(const std::string &path, Harm how)
{
    switch (how) {
    case Harm::Missing:
        fs::remove(path);
        break;
    case Harm::Damaged:
        flipByte(path, 0);
        break;
    case Harm::Truncated:
        fs::resize_file(path, fs::file_size(path) / 2);
        break;
    case Harm::Extended:
        writeFile(path, readText(path) + "more");
        break;
    }
}

std::map<std::string, Bytes> filesOf(const std::string &dir)
{
    std::map<std::string, Bytes> files;
    for (const std::string &name : listDir(dir))
        files[name] = readFile(dir + "/" + name);
    return files;
}

class RecoveredSet : public ::testing::TestWithParam<RecoveryCase> {};

// verify says whether the set can be rebuilt; the joiner and unite --list rebuild a harmed part on
// their way, or refuse when they cannot; repair restores every file, or changes nothing.
TEST_P(RecoveredSet, IsRebuiltOrRefusedWithNothingChanged)
{
    SKARVEL_SKIP_UNLESS_JOINER_RUNS();
    const RecoveryCase &row = GetParam();
    TempDir dir;
    const Bytes data = patternBytes(4000 - 3, 9); // the last part shorter: the shards are padded
    writeFile(dir.file("s.bin"), data);
    ASSERT_EQ(runCli({"cut", "-n", "4", "--recons", kJoinerOption, "--recovery", std::to_string(row.perGroup), "s.bin"},
                     dir.path())
                  .status,
              0);
    fs::remove(dir.file("s.bin"));
    const std::map<std::string, Bytes> whole = filesOf(dir.path());
    const auto name = [](int file) {
        return file < 4 ? "s" + std::to_string(file + 1) + ".bin" : "s.bin.rec" + std::to_string(file - 3);
    };
    std::string faults;
    bool partHarmed = false;
    const bool rebuildable = static_cast<int>(row.harmed.size()) <= row.perGroup;
    for (const auto &[file, how] : row.harmed) {
        harm(dir.file(name(file)), how);
        partHarmed = partHarmed || file < 4;
        faults += name(file) + (how == Harm::Missing ? ": missing" : ": damaged")
            + (rebuildable ? " \u2014 can be rebuilt from the recovery parts\n" : "\n");
    }
    if (!rebuildable)
        faults += "the set cannot be rebuilt: more of its files are missing or damaged than recovery parts are whole\n";
    const std::map<std::string, Bytes> harmed = filesOf(dir.path());

    const CliResult verify = runCli({"verify"}, dir.path());
    EXPECT_EQ(verify.status, row.harmed.empty() ? 0 : 1);
    EXPECT_EQ(verify.out, row.harmed.empty() ? std::to_string(4 + row.perGroup) + " listed files whole\n" : faults);

    // A join needs the data parts alone, whole or rebuilt.
    const bool joins = rebuildable || !partHarmed;
    const CliResult joiner = runCommand(joinerCommand(dir.file(kTestedJoinerFile)), dir.path(), "joined\n\n");
    EXPECT_EQ(joiner.status, joins ? 0 : 1) << joiner.out;
    const CliResult unite = runCli({"unite", "-o", "united", "--list", "info.txt"}, dir.path());
    EXPECT_EQ(unite.status, joins ? 0 : 1) << unite.err;
    for (const auto &[file, how] : row.harmed) {
        const bool said =
            joiner.out.find("\r\n" + name(file) + " rebuilt from the recovery parts\r\n") != std::string::npos;
        EXPECT_EQ(said, file < 4 && rebuildable) << joiner.out;
        EXPECT_EQ(unite.err.find(name(file) + " rebuilt from the recovery parts\n") != std::string::npos, said)
            << unite.err;
    }
    for (const char *output : {"joined", "united"}) {
        if (joins)
            EXPECT_EQ(readFile(dir.file(output)), data) << output;
        else
            EXPECT_FALSE(exists(dir.file(output))) << output;
        fs::remove(dir.file(output));
    }

    const CliResult repair = runCli({"repair"}, dir.path());
    EXPECT_EQ(repair.status, rebuildable ? 0 : 1) << repair.err;
    EXPECT_EQ(filesOf(dir.path()), rebuildable ? whole : harmed);
}

INSTANTIATE_TEST_SUITE_P(EveryFewHarmed, RecoveredSet, ::testing::ValuesIn(recoveryCases()),
                         [](const auto &info) { return "Row" + std::to_string(info.index); });

// More parts than one group holds: 255 parts with two recovery parts per group make two groups,
// parts 1 to 255 dealt into them in turn, so four parts in a row are rebuilt; a third bad file in
// one group is one too many, whatever the other group has to spare.
TEST(VerifiedSetList, ASetOfMoreThanOneGroupIsRebuiltGroupByGroup)
{
    SKARVEL_SKIP_UNLESS_JOINER_RUNS();
    TempDir dir;
    const Bytes data = patternBytes(255 * 12 - 5, 3);
    writeFile(dir.file("s.bin"), data);
    ASSERT_EQ(runCli({"cut", "-n", "255", "--recons", kJoinerOption, "--recovery", "2", "s.bin"}, dir.path()).status,
              0);
    fs::remove(dir.file("s.bin"));
    ASSERT_TRUE(exists(dir.file("s.bin.rec4")) && !exists(dir.file("s.bin.rec5")));
    const std::map<std::string, Bytes> whole = filesOf(dir.path());
    for (const char *part : {"s1.bin", "s2.bin", "s3.bin", "s4.bin"})
        harm(dir.file(part), Harm::Damaged);
    const CliResult joiner = runCommand(joinerCommand(dir.file(kTestedJoinerFile)), dir.path(), "joined\n\n");
    EXPECT_EQ(joiner.status, 0) << joiner.out;
    EXPECT_EQ(runCli({"unite", "-o", "united", "--list", "info.txt"}, dir.path()).status, 0);
    EXPECT_EQ(readFile(dir.file("joined")), data);
    EXPECT_EQ(readFile(dir.file("united")), data);
    fs::remove(dir.file("joined"));
    fs::remove(dir.file("united"));

    harm(dir.file("s6.bin"), Harm::Missing); // the third of the second group
    const std::map<std::string, Bytes> harmed = filesOf(dir.path());
    EXPECT_EQ(runCli({"repair"}, dir.path()).status, 1);
    EXPECT_EQ(filesOf(dir.path()), harmed);
    // Two bad files a group again, recovery parts among them: s.bin.rec3 is the second group's first.
    for (const char *part : {"s3.bin", "s4.bin", "s6.bin"})
        writeFile(dir.file(part), whole.at(part));
    harm(dir.file("s.bin.rec2"), Harm::Extended);
    harm(dir.file("s.bin.rec3"), Harm::Missing);
    const CliResult repair = runCli({"repair"}, dir.path());
    EXPECT_EQ(repair.status, 0) << repair.err;
    EXPECT_EQ(filesOf(dir.path()), whole);
}

// A recovery part that matches its line but whose header is another set's (a list made to match
// it) says nothing of this set: a part it alone could rebuild stays missing, and nothing changes.
TEST(VerifiedSetList, ARecoveryPartOfAnotherSetRebuildsNothing)
{
    SKARVEL_SKIP_UNLESS_JOINER_RUNS();
    TempDir dir;
    writeFile(dir.file("s.bin"), patternBytes(4000, 2));
    ASSERT_EQ(runCli({"cut", "-n", "4", "--recons", kJoinerOption, "--recovery", "1", "s.bin"}, dir.path()).status, 0);
    fs::remove(dir.file("s.bin"));
    Bytes part = readFile(dir.file("s.bin.rec1"));
    auto header = lists::decodeRecoveryHeader(part.data(), part.size(), static_cast<std::int64_t>(part.size())).header;
    ASSERT_TRUE(header);
    header->layout.identity[0] ^= 1;
    const Bytes other = lists::encodeRecoveryHeader(*header);
    std::copy(other.begin(), other.end(), part.begin());
    writeFile(dir.file("s.bin.rec1"), part);
    digest::Sha256 hash;
    hash.update(part.data(), part.size());
    std::string list = readText(dir.file("info.sha256"));
    const std::size_t line = list.find("  s.bin.rec1\n") - 64;
    list.replace(line, 64, digest::toHex(hash.finish()));
    writeFile(dir.file("info.sha256"), list);
    fs::remove(dir.file("s2.bin"));
    const std::map<std::string, Bytes> harmed = filesOf(dir.path());

    const CliResult verify = runCli({"verify"}, dir.path());
    EXPECT_TRUE(
        verify.out.ends_with("cannot be rebuilt: more of its files are missing or damaged than recovery parts "
                             "are whole\n"))
        << verify.out;
    const CliResult joiner = runCommand(joinerCommand(dir.file(kTestedJoinerFile)), dir.path(), "joined\n\n");
    EXPECT_NE(joiner.out.find("Part not found: s2.bin"), std::string::npos) << joiner.out;
    EXPECT_EQ(runCli({"unite", "-o", "united", "--list", "info.txt"}, dir.path()).status, 1);
    EXPECT_EQ(runCli({"repair"}, dir.path()).status, 1);
    EXPECT_EQ(filesOf(dir.path()), harmed);
}

// Parts longer than a stripe of the rebuild, the last one shorter than the others.
TEST(VerifiedSetList, PartsOfManyStripesAreRebuiltWhole)
{
    SKARVEL_SKIP_UNLESS_JOINER_RUNS();
    TempDir dir;
    const Bytes data = patternBytes(4 * 1024 * 1024 + 37, 6);
    writeFile(dir.file("s.bin"), data);
    ASSERT_EQ(runCli({"cut", "-n", "4", "--recons", kJoinerOption, "--recovery", "2", "s.bin"}, dir.path()).status, 0);
    fs::remove(dir.file("s.bin"));
    const std::map<std::string, Bytes> whole = filesOf(dir.path());
    fs::remove(dir.file("s1.bin"));
    harm(dir.file("s4.bin"), Harm::Truncated);
    const CliResult joiner = runCommand(joinerCommand(dir.file(kTestedJoinerFile)), dir.path(), "joined\n\n");
    EXPECT_EQ(joiner.status, 0) << joiner.out;
    EXPECT_EQ(readFile(dir.file("joined")), data);
    fs::remove(dir.file("joined"));
    EXPECT_EQ(runCli({"repair"}, dir.path()).status, 0);
    EXPECT_EQ(filesOf(dir.path()), whole);
}

// A bad part that is a link to another file of the set is never rebuilt through the link.
TEST(VerifiedSetList, RepairNeverWritesThroughALink)
{
    TempDir dir;
    writeFile(dir.file("s.bin"), patternBytes(4000, 4));
    ASSERT_EQ(runCli({"cut", "-n", "4", "--recons", "--recovery", "1", "s.bin"}, dir.path()).status, 0);
    writeFile(dir.file("elsewhere.bin"), patternBytes(100, 5));
    for (const char *other : {"info.txt", "recons", "s.bin.rec1", "elsewhere.bin"}) {
        fs::remove(dir.file("s2.bin"));
        fs::create_symlink(other, dir.file("s2.bin"));
        const std::map<std::string, Bytes> before = filesOf(dir.path());
        EXPECT_EQ(runCli({"repair"}, dir.path()).status, 1) << other;
        EXPECT_EQ(filesOf(dir.path()), before) << other;
    }
}

TEST(VerifiedSetList, OnlyMakesTheDamagedPartAgainAndLeavesTheListsAlone)
{
    // --only names the parts as the cut did, .001 names too (-q: a word that keeps the first names).
    for (const auto &[part, names] : {std::pair{"s2.bin", "-q"}, std::pair{"s.bin.002", "--names=001"}}) {
        TempDir dir;
        writeFile(dir.file("s.bin"), patternBytes(4000));
        std::vector<std::string> cut{"cut", "-n", "4", "--recons", "--sha256", "s.bin", names};
        ASSERT_EQ(runCli(cut, dir.path()).status, 0);
        flipByte(dir.file(part), 5);
        const std::string list = readText(dir.file("info.txt")), digests = readText(dir.file("info.sha256"));
        ASSERT_EQ(runCli({"verify"}, dir.path()).status, 1);
        EXPECT_EQ(runCli({"cut", "-n", "4", "--only", "2", "s.bin", names}, dir.path()).status, 0);
        EXPECT_EQ(runCli({"verify"}, dir.path()).out, "5 listed files whole\n") << part;
        EXPECT_EQ(readText(dir.file("info.txt")), list);
        EXPECT_EQ(readText(dir.file("info.sha256")), digests);
    }
}

// Parts left out: each part made is checked by its line; the whole file's line cannot be, and the
// joins say so instead of refusing the set.
TEST(VerifiedSetList, ASetWithAPartLeftOutJoinsByItsPartLines)
{
    SKARVEL_SKIP_UNLESS_JOINER_RUNS();
    TempDir dir;
    const Bytes data = patternBytes(4000, 5);
    writeFile(dir.file("s.bin"), data);
    ASSERT_EQ(runCli({"cut", "-n", "4", "--skip", "2", "--recons", kJoinerOption, "s.bin"}, dir.path()).status, 0);
    Bytes made(data.begin(), data.begin() + 1000);
    made.insert(made.end(), data.begin() + 2000, data.end());

    const CliResult joiner = runCommand(joinerCommand(dir.file(kTestedJoinerFile)), dir.path(), "joined\n\n");
    EXPECT_EQ(joiner.status, 0) << joiner.out;
    EXPECT_NE(joiner.out.find("\r\nThe whole file's line of info.sha256 was not checked: not every part was made\r\n"),
              std::string::npos)
        << joiner.out;
    const CliResult unite = runCli({"unite", "-o", "united", "--list", "info.txt"}, dir.path());
    EXPECT_EQ(unite.status, 0);
    EXPECT_NE(unite.err.find("was not checked"), std::string::npos) << unite.err;
    EXPECT_EQ(readFile(dir.file("joined")), made);
    EXPECT_EQ(readFile(dir.file("united")), made);
}

// verify reads only a regular list, says when it checked nothing, takes a name from the root as
// it stands, and passes over a Windows editor's byte-order mark.
TEST(VerifiedSetList, VerifyReadsOnlyWhatIsAList)
{
    TempDir dir;
    writeFile(dir.file("f"), "x");
    const std::string line = "2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881  ";
    writeFile(dir.file("empty.sha256"), "");
    writeFile(dir.file("absolute.sha256"), line + dir.file("f") + "\n");
    writeFile(dir.file("bom.sha256"), "\xEF\xBB\xBF" + line + "f\n");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    writeFile(dir.file("plain.sha256"), line + "f\n" + line + "g\n"); // sha256sum's list: no line is exempt
    const struct Row {
        std::string list;
        int status;
        std::string err;
    } rows[] = {
        {"plain.sha256", 1, "skarvel-cli: 1 of 2 listed files damaged or missing\n"},
        {"fifo", 1, "skarvel-cli: fifo: not a regular file\n"},
        {"/dev/zero", 1, "skarvel-cli: /dev/zero: not a regular file\n"},
        {"empty.sha256", 1, "skarvel-cli: empty.sha256: lists no file, so nothing was checked\n"},
        {"absolute.sha256", 0, ""},
        {"bom.sha256", 0, ""},
    };
    for (const Row &row : rows) {
        const CliResult r = runCli({"verify", row.list}, dir.path());
        EXPECT_EQ(r.status, row.status) << row.list;
        EXPECT_EQ(r.err, row.err) << row.list;
    }
}

// A checksum list that is there but cannot be read stops a join: it never turns the check off.
TEST(VerifiedSetList, AChecksumListThatCannotBeReadStopsTheJoin)
{
    SKARVEL_SKIP_UNLESS_JOINER_RUNS();
    for (const bool folder : {true, false}) {
        if (!folder && kWindowsJoiner)
            continue; // a dangling link is a Linux thing
        TempDir dir;
        writeFile(dir.file("s.bin"), patternBytes(4000));
        ASSERT_EQ(runCli({"cut", "-n", "4", "--recons", kJoinerOption, "s.bin"}, dir.path()).status, 0);
        fs::remove(dir.file("info.sha256"));
        if (folder)
            fs::create_directory(dir.file("info.sha256"));
        else
            fs::create_symlink("gone", dir.file("info.sha256"));
        const CliResult joiner = runCommand(joinerCommand(dir.file(kTestedJoinerFile)), dir.path(), "joined\n\n");
        EXPECT_EQ(joiner.status, 1) << joiner.out;
        const CliResult unite = runCli({"unite", "-o", "united", "--list", "info.txt"}, dir.path());
        EXPECT_EQ(unite.status, 1);
        EXPECT_NE(unite.err.find("info.sha256"), std::string::npos) << unite.err;
        EXPECT_FALSE(exists(dir.file("joined")) || exists(dir.file("united")));
    }
}

TEST(VerifiedSetList, Sha256sumAcceptsItIncludingEscapedNames)
{
    TempDir dir;
    writeFile(dir.file("a\\b.bin"), patternBytes(3000));
    ASSERT_EQ(runCli({"cut", "--count", "3", "--sha256", "a\\b.bin"}, dir.path()).status, 0);
    const CliResult check = runProgram("/usr/bin/sha256sum", {"-c", "info.sha256"}, dir.path());
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), 4);
    EXPECT_TRUE(readText(dir.file("info.sha256")).starts_with("\\")); // the escaped form
}

} // namespace
