// SPDX-License-Identifier: GPL-3.0-or-later
// The joiner as users run it: the emitted Recons.exe started in a folder of parts, its standard
// input on a pipe. Built once for each joiner image (support/tested_joiner.h).
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "support/tested_joiner.h"

#include "partset/write_recons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

const std::string kBanner =
    "Recons, the part joiner of Skarvel (c) 2026 the Skarvel developers\r\n"
    "Free software / Свободная и бесплатная программа\r\n"
    "\r\n"
    "Skarvel v 4.0.0 (recons.exe v 2.0)\r\n"
    "\r\n";
const std::string kListError = kBanner + "Error in info.txt\r\n";
const std::string kPrompt = kBanner + "Save new file as: \r\n";

// What the tool prints up to the last part's line.
std::string openedLines(const std::vector<std::string> &parts)
{
    std::string text = kPrompt + "Wait...\r\nOpened files: \r\n";
    for (const auto &part : parts)
        text += " " + part + " Ok\r\n";
    return text;
}

std::string joinedLines(const std::vector<std::string> &parts)
{
    return openedLines(parts) + "Complete\r\n";
}

// The report's first line names the failing step by an address; only its form is fixed.
void expectReport(const std::string &out, const std::string &before, const std::string &text)
{
    ASSERT_TRUE(out.starts_with(before)) << out;
    const std::string report = out.substr(before.size());
    const std::string head = std::string("Exception EInOutError in module ") + kTestedJoinerFile + " at ";
    ASSERT_TRUE(report.starts_with(head)) << report;
    const std::string address = report.substr(head.size(), 8);
    EXPECT_EQ(address.find_first_not_of("0123456789ABCDEF"), std::string::npos) << report;
    EXPECT_EQ(address.size(), 8u);
    EXPECT_EQ(report.substr(head.size() + 8), ".\n" + text + ".\r\n");
}

class Joiner : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKARVEL_SKIP_UNLESS_JOINER_RUNS();
        ScopedCurrentDir here(m_dir.path());
        partset::WriteRecons({}, {}, false, kTestedJoiner);
    }

    std::string path(const std::string &name) const { return m_dir.file(name); }
    void put(const std::string &name, const std::string &bytes) const { writeFile(path(name), bytes); }
    CliResult run(const std::string &input) const { return runCommand(joinerCommand(tool()), m_dir.path(), input); }
    std::string tool() const { return path(kTestedJoinerFile); }
    const std::string &dir() const { return m_dir.path(); }

    // Three parts, p1 to p3, with distinct bytes.
    void putParts() const
    {
        put("p1", "first,");
        put("p2", "second,");
        put("p3", "third");
    }

private:
    TempDir m_dir;
};

// Windows drops a name's trailing blanks and dots, and no name there holds a control character.
constexpr const char *kPosixName = "a name Windows cannot hold as it is";

struct BadList {
    const char *why;
    std::string list;    // "" with hasList false: no info.txt at all
    std::string problem; // the line after "Error in info.txt"
    bool hasList = true;
    const char *notOnWindows = nullptr;
};

void PrintTo(const BadList &row, std::ostream *os)
{
    *os << row.why;
}

class JoinerBadList : public Joiner, public ::testing::WithParamInterface<BadList> {};

TEST_P(JoinerBadList, SaysErrorInListAndWhatIsWrongCreatesNothingAndFails)
{
    if (kWindowsJoiner && GetParam().notOnWindows)
        GTEST_SKIP() << GetParam().notOnWindows;
    putParts();
    fs::create_directory(path("sub"));
    if (GetParam().hasList)
        put("info.txt", GetParam().list);
    const auto before = listDir(dir());

    // The answer a prompt would take is read as the final Enter instead.
    const CliResult result = run("out\n");

    EXPECT_EQ(result.out, kListError + GetParam().problem + "\r\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(listDir(dir()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, JoinerBadList,
    ::testing::Values(BadList{"no list at all", "", "There is no info.txt in this folder", false},
                      BadList{"an empty list", "", "info.txt names fewer than two parts"},
                      BadList{"one line naming an existing part", "p1\r\n", "info.txt names fewer than two parts"},
                      BadList{"one more CR LF adds an empty line", "p1\r\np2\r\n\r\n", "Part not found: "},
                      BadList{"LF alone is a name character: one long line", "p1\np2\n", "Part not found: p1?p2?"},
                      BadList{"a folder does not count as a file", "p1\r\nsub\r\n", "Part not found: sub"},
                      BadList{"a name that does not exist", "p1\r\nmissing\r\np2\r\n", "Part not found: missing"},
                      BadList{"every line is checked, the bad one last", "p1\r\np2\r\np3\r\np4\r\n",
                              "Part not found: p4"},
                      BadList{"a NUL ends no name early", std::string("p1\r\np2\0x\r\n", 11), "Part not found: p2?x"},
                      BadList{"a blank is part of the name", "p1\r\np2 \r\n", "Part not found: p2 ", true, kPosixName}),
    [](const auto &info) { return "Row" + std::to_string(info.index); });

struct GoodList {
    const char *why;
    std::string list;
    std::vector<std::string> parts; // as printed
    std::string joined;
    const char *notOnWindows = nullptr;
};

void PrintTo(const GoodList &row, std::ostream *os)
{
    *os << row.why;
}

class JoinerGoodList : public Joiner, public ::testing::WithParamInterface<GoodList> {};

TEST_P(JoinerGoodList, JoinsTheListedPartsInOrder)
{
    if (kWindowsJoiner && GetParam().notOnWindows)
        GTEST_SKIP() << GetParam().notOnWindows;
    putParts();
    if (!kWindowsJoiner) {
        put("a\nb", "[lf]");
        put("\x1b]0;title\x07", "[esc]");
    }
    put("info.txt", GetParam().list);

    const CliResult result = run("out\n\n");

    EXPECT_EQ(result.out, joinedLines(GetParam().parts));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(readText(path("out")), GetParam().joined);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, JoinerGoodList,
    ::testing::Values(
        GoodList{"CR LF after every line", "p1\r\np2\r\np3\r\n", {"p1", "p2", "p3"}, "first,second,third"},
        GoodList{"a part left out by Cut leaves no gap", "p1\r\np3\r\n", {"p1", "p3"}, "first,third"},
        GoodList{"list order, not name order", "p3\r\np1\r\n", {"p3", "p1"}, "thirdfirst,"},
        GoodList{"the last line needs no line end", "p1\r\np2", {"p1", "p2"}, "first,second,"},
        GoodList{"CR alone ends a line", "p1\rp2\r", {"p1", "p2"}, "first,second,"},
        GoodList{"Ctrl-Z ends the text", "p1\r\np2\r\n\x1aignored\r\n", {"p1", "p2"}, "first,second,"},
        GoodList{"an LF not after CR belongs to the name", "a\nb\r\np1\r\n", {"a?b", "p1"}, "[lf]first,", kPosixName},
        GoodList{"a name's control bytes reach no terminal",
                 "\x1b]0;title\x07\r\np1\r\n",
                 {"?]0;title?", "p1"},
                 "[esc]first,",
                 kPosixName},
        GoodList{"a byte-order mark from a Windows editor", "\xEF\xBB\xBFp1\r\np2\r\n", {"p1", "p2"}, "first,second,"},
        GoodList{"the same part twice", "p1\r\np1\r\n", {"p1", "p1"}, "first,first,"}),
    [](const auto &info) { return "Row" + std::to_string(info.index); });

TEST_F(Joiner, JoinsPartsOneTwoAndFour)
{
    put("d1.bin", "11");
    put("d2.bin", "22");
    put("d3.bin", "33");
    put("d4.bin", "44");
    put("info.txt", "d1.bin\r\nd2.bin\r\nd4.bin\r\n");

    const CliResult result = run("d.bin\n\n");

    EXPECT_EQ(result.out, joinedLines({"d1.bin", "d2.bin", "d4.bin"}));
    EXPECT_EQ(readText(path("d.bin")), "112244");
}

TEST_F(Joiner, PartOfZeroBytesAddsNothing)
{
    putParts();
    put("p2", "");
    put("info.txt", "p1\r\np2\r\np3\r\n");

    const CliResult result = run("out\n\n");

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, joinedLines({"p1", "p2", "p3"}));
    EXPECT_EQ(readText(path("out")), "first,third");
}

TEST_F(Joiner, LargePartsJoinByteForByte)
{
    const Bytes one = patternBytes(3 * 1024 * 1024 + 17, 1);
    const Bytes two = patternBytes(2 * 1024 * 1024 + 5, 2);
    writeFile(path("big1"), one);
    writeFile(path("big2"), two);
    put("info.txt", "big1\r\nbig2\r\n");

    ASSERT_EQ(run("big\n\n").status, 0);

    Bytes expected = one;
    expected.insert(expected.end(), two.begin(), two.end());
    EXPECT_EQ(readFile(path("big")), expected);
}

TEST_F(Joiner, OutputThatExistsIsReplaced)
{
    putParts();
    put("info.txt", "p1\r\np2\r\n");
    put("out", std::string(1000, 'x'));

    const CliResult result = run("out\n\n");

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(readText(path("out")), "first,second,");
}

TEST_F(Joiner, OutputNameIsTakenAsTypedAndMayNameAnotherFolder)
{
    putParts();
    fs::create_directory(path("sub"));
    put("info.txt", "p1\r\np2\r\n");

    // A CR before the LF belongs to the line end; the blank at the end is part of the name.
    ASSERT_EQ(run("sub/out \r\n\n").status, 0);

    EXPECT_EQ(readText(path(kWindowsJoiner ? "sub/out" : "sub/out ")), "first,second,");
}

TEST_F(Joiner, ReadOnlyPartsJoin)
{
    putParts();
    put("info.txt", "p1\r\np2\r\n");
    fs::permissions(path("p1"), fs::perms::owner_read);

    ASSERT_EQ(run("out\n\n").status, 0);

    EXPECT_EQ(readText(path("out")), "first,second,");
}

TEST_F(Joiner, OutputThatCannotBeCreatedIsReportedWithoutWaiting)
{
    putParts();
    put("info.txt", "p1\r\np2\r\n");

    // No final Enter is given: the report ends the tool at once.
    const CliResult result = run("nofolder/out\n");

    EXPECT_EQ(result.status, 1);
    // Windows' own number for a missing folder is 3.
    expectReport(result.out, kPrompt, kWindowsJoiner ? "Invalid filename" : "File not found");
}

TEST_F(Joiner, AfterCompleteWaitsForEnter)
{
    putParts();
    put("info.txt", "p1\r\np2\r\n");
    ChildProcess tool(joinerCommand(this->tool()), dir());

    tool.write("out\n");
    tool.readUntil("Complete\r\n");

    EXPECT_TRUE(tool.stillRunning(200));
    tool.write("\n");
    EXPECT_FALSE(tool.stillRunning(5000));
    EXPECT_EQ(tool.finish(), 0);
    EXPECT_EQ(tool.output(), joinedLines({"p1", "p2"}));
}

TEST_F(Joiner, ErrorInListAlsoWaitsForEnter)
{
    ChildProcess tool(joinerCommand(this->tool()), dir());

    tool.readUntil("Error in info.txt\r\nThere is no info.txt in this folder\r\n");

    EXPECT_TRUE(tool.stillRunning(200));
    EXPECT_EQ(tool.finish(), 1);
    EXPECT_EQ(tool.output(), kListError + "There is no info.txt in this folder\r\n");
}

TEST_F(Joiner, PartThatVanishesAfterTheCheckIsReportedAndNoOutputMade)
{
    putParts();
    put("info.txt", "p1\r\np2\r\np3\r\n");
    ChildProcess tool(joinerCommand(this->tool()), dir());

    tool.readUntil(kPrompt);
    fs::remove(path("p2"));
    tool.write("out\n");

    EXPECT_EQ(tool.finish(), 1);
    expectReport(tool.output(), openedLines({"p1", "p2"}), "File not found");
    // No partial output carries the name.
    EXPECT_FALSE(exists(path("out")));
}

// Output names that would empty a listed file, or are no name at all.
struct Refusal {
    const char *why;
    std::string answer;
    std::function<void(const std::string &dir)> prepare;
};

void PrintTo(const Refusal &row, std::ostream *os)
{
    *os << row.why;
}

class JoinerRefusal : public Joiner, public ::testing::WithParamInterface<Refusal> {};

TEST_P(JoinerRefusal, RefusesBeforeCreatingAnythingAndKeepsEveryPart)
{
    putParts();
    put("info.txt", "p1\r\np2\r\n");
    if (GetParam().prepare)
        GetParam().prepare(dir());
    const auto before = listDir(dir());

    const CliResult result = run(GetParam().answer);

    EXPECT_EQ(result.status, 1);
    expectReport(result.out, kPrompt, "Invalid filename");
    EXPECT_EQ(readText(path("p1")), "first,");
    EXPECT_EQ(readText(path("p2")), "second,");
    EXPECT_EQ(readText(path("info.txt")), "p1\r\np2\r\n");
    EXPECT_EQ(listDir(dir()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Names, JoinerRefusal,
    ::testing::Values(Refusal{"Enter alone", "\n", nullptr}, Refusal{"the end of input at the prompt", "", nullptr},
                      Refusal{"a listed part", "p2\n", nullptr},
                      Refusal{"a listed part by another path", "./p1\n", nullptr},
                      Refusal{"a symbolic link to a part", "link\n",
                              [](const std::string &dir) { fs::create_symlink("p2", dir + "/link"); }},
                      Refusal{"a hard link to a part", "hard\n",
                              [](const std::string &dir) { fs::create_hard_link(dir + "/p1", dir + "/hard"); }},
                      Refusal{"the list itself", "info.txt\n", nullptr}),
    [](const auto &info) { return "Row" + std::to_string(info.index); });

TEST_F(Joiner, ReportNamesTheProgramAsStarted)
{
    putParts();
    put("info.txt", "p1\r\np2\r\n");
    fs::copy_file(tool(), path("joiner"));

    const CliResult result = runCommand(joinerCommand(path("joiner")), dir(), "\n");

    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.find("Exception EInOutError in module joiner at ") != std::string::npos) << result.out;
}

} // namespace
