// SPDX-License-Identifier: GPL-3.0-or-later
// join.command as a Mac or BSD recipient runs it: under each POSIX shell, in a folder of the parts
// skarvel-cli cut --recons made, or of parts whose names no part list could hold.
#include "support/child_process.h"
#include "support/temp_dir.h"

#include "lists/sh_joiner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

const std::string kName = "-it's a file.bin"; // a leading dash, a quote, blanks
const Bytes kSource = patternBytes(300000, 5);
const std::vector<std::vector<std::string>> kShells = {
    {"dash"}, {"bash", "--posix"}, {"busybox", "sh"}, {"mksh"}, {"yash"}, {"posh"}};

digest::Sha256Digest sha(const Bytes &bytes)
{
    digest::Sha256 hash;
    hash.update(bytes.data(), bytes.size());
    return hash.finish();
}

// Parts of kSource under these names and the script for them, in place of the cut's; with
// `claimed`, the first part is 1 byte long and the script says it has `claimed`.
void writeSet(const std::string &dir, const std::vector<std::string> &names, std::int64_t claimed = 0)
{
    lists::ShJoinerSet set{{}, kName, sha(kSource)};
    for (std::size_t i = 0, at = 0; i < names.size(); ++i) {
        std::size_t n = i + 1 < names.size() ? kSource.size() / names.size() : kSource.size() - at;
        n = claimed && i == 0 ? 1 : n;
        const Bytes part(kSource.begin() + at, kSource.begin() + at + n);
        writeFile(dir + "/" + names[i], part);
        set.parts.push_back({names[i], claimed && i == 0 ? claimed : std::int64_t(n), sha(part)});
        at += n;
    }
    writeFile(dir + "/join.command", lists::shJoinerScript(set));
}

// The file with each LF turned into CR LF, as a transfer in text mode does.
void toCrLf(const std::string &path)
{
    Bytes bytes = readFile(path);
    for (auto lf = bytes.begin(); (lf = std::find(lf, bytes.end(), '\n')) != bytes.end(); lf += 2)
        lf = bytes.insert(lf, '\r');
    writeFile(path, bytes);
}

struct Case {
    const char *why;
    std::function<void(const std::string &dir)> damage; // after the cut, the source moved away
    std::string says;                                   // a failure's words; empty: it joins
    std::string answer = "\n";                          // Enter alone: the source's name
    std::string yashSays = {};                          // when yash says otherwise
    std::vector<std::string> operands = {};
};

void PrintTo(const Case &row, std::ostream *os)
{
    *os << row.why;
}

class ShJoiner : public ::testing::TestWithParam<std::tuple<std::vector<std::string>, Case>> {};

TEST_P(ShJoiner, JoinsACheckedSetOrNamesTheFirstProblemAndMakesNothing)
{
    const auto &[shell, row] = GetParam();
    TempDir dir;
    writeFile(dir.file(kName), kSource);
    ASSERT_EQ(runCli({"cut", "-n", "3", "--recons", "--", kName}, dir.path()).status, 0);
    fs::rename(dir.file(kName), dir.file("original"));
    std::vector<std::string> args(shell.begin() + 1, shell.end());
    args.push_back("join.command");
    args.insert(args.end(), row.operands.begin(), row.operands.end());
    if (row.damage)
        row.damage(dir.path());
    const auto before = listDir(dir.path());
    Command command{"/usr/bin/" + shell[0], {}};
    if (fs::exists(dir.file("bin"))) // only these tools on the path, shasum the only hasher
        command = {"/usr/bin/env", {"PATH=" + dir.file("bin"), "/usr/bin/" + shell[0]}};
    command.args.insert(command.args.end(), args.begin(), args.end());
    const CliResult joined = runCommand(command, dir.path(), row.answer);
    const std::string says = shell[0] == "yash" && !row.yashSays.empty() ? row.yashSays : row.says;
    if (says.empty()) {
        EXPECT_EQ(joined.status, 0) << joined.out << joined.err;
        EXPECT_TRUE(joined.out.ends_with("SHA-256 verified\nComplete\n")) << joined.out;
        EXPECT_EQ(readFile(dir.file(row.operands.empty() ? kName : row.operands.back())), kSource);
        const CliResult lint = runCommand({"/usr/bin/shellcheck", {"join.command"}}, dir.path());
        EXPECT_TRUE(shell[0] != "dash" || lint.status == 0) << lint.out; // for every kind of name
        return;
    }
    EXPECT_EQ(joined.status, 1) << joined.out;
    EXPECT_NE(joined.err.find(says), std::string::npos) << joined.out << joined.err;
    EXPECT_EQ(listDir(dir.path()), before); // no output, no temporary
}

const Case kCases[] = {
    {"a set cut with the defaults", nullptr, ""},
    {"only shasum to hash with",
     [](const std::string &dir) {
         fs::create_directory(dir + "/bin");
         for (const char *tool : {"cat", "wc", "ln", "mv", "rm", "printf", "shasum"})
             fs::create_symlink(std::string("/usr/bin/") + tool, dir + "/bin/" + tool);
     },
     ""},
    {"a part damaged in place",
     [](const std::string &dir) {
         Bytes part = readFile(dir + "/-it's a file2.bin");
         part[7] ^= 1;
         writeFile(dir + "/-it's a file2.bin", part);
     },
     "-it's a file2.bin is damaged: its SHA-256 differs"},
    {"a part renamed", [](const std::string &dir) { fs::rename(dir + "/-it's a file3.bin", dir + "/part3.bin"); },
     "Part not found: -it's a file3.bin"},
    {"a part whose line ends became CR LF", [](const std::string &dir) { toCrLf(dir + "/-it's a file1.bin"); },
     "-it's a file1.bin is damaged: its size differs"},
    {"the script's line ends became CR LF", [](const std::string &dir) { toCrLf(dir + "/join.command"); },
     "join.command was changed in transit: its lines end in CR LF. Repair it with  tr -d '\\r'"},
    {"an output that exists, asked for off a terminal", [](const std::string &dir) { writeFile(dir + "/out", "kept"); },
     "out exists: it is not replaced (sh join.command -f replaces it)", "out\n"},
    {"an output that exists, replaced with -f",
     [](const std::string &dir) { writeFile(dir + "/out", "old"); },
     "",
     "",
     "",
     {"-f", "out"}},
    // Names a part list cannot hold travel as printf escapes; yash drops bytes beyond its locale.
    {"names with a line end, bytes beyond UTF-8, % and \\",
     [](const std::string &dir) {
         writeSet(dir, {"a\nb%d\\1", "\xff\xfe-2\n", "'\"$(x)`3"});
     },
     "", "\n", "This shell cannot hold the bytes of"},
    // Sizes compared as numbers of 32 bits would take 4 GiB and 1 byte for 1 byte.
    {"a part said to be 4 GiB and 1 byte long",
     [](const std::string &dir) {
         writeSet(dir, {"p1", "p2"}, (std::int64_t{1} << 32) + 1);
     },
     "p1 is damaged: its size differs (1 bytes, not 4294967297)"},
};

INSTANTIATE_TEST_SUITE_P(Shells, ShJoiner,
                         ::testing::Combine(::testing::ValuesIn(kShells), ::testing::ValuesIn(kCases)),
                         [](const auto &info) {
                             return std::get<0>(info.param)[0] + "Row" + std::to_string(info.index % std::size(kCases));
                         });

// A stop while cat joins: SIGTERM's trap removes the temporary, SIGKILL leaves it, hidden. Neither
// leaves anything under the output's name, and the join run again makes it.
class ShJoinerStop : public ::testing::TestWithParam<int> {};

TEST_P(ShJoinerStop, LeavesNoOutputAndNoTemporaryInSight)
{
    TempDir dir;
    const Bytes source = patternBytes(64 << 20, 3);
    writeFile(dir.file("big.bin"), source);
    ASSERT_EQ(runCli({"cut", "--recons", "--joiner=sh", "big.bin"}, dir.path()).status, 0);
    fs::rename(dir.file("big.bin"), dir.file("original"));
    const auto before = listDir(dir.path());
    ChildProcess join("/usr/bin/dash", dir.path(), {"join.command", "out"});
    // The moment, from the run itself: the temporary has grown past half the whole file.
    std::string temporary;
    while (temporary.empty() && join.stillRunning(0)) {
        for (const std::string &name : listDir(dir.path()))
            temporary =
                name.starts_with(".join.") && fs::file_size(dir.file(name)) > source.size() / 2 ? name : temporary;
    }
    ASSERT_FALSE(temporary.empty()) << join.output();
    if (GetParam() == SIGKILL)
        EXPECT_TRUE(join.kill());
    else
        EXPECT_EQ(join.stop(SIGTERM), 143);

    std::vector<std::string> after = listDir(dir.path());
    std::erase(after, GetParam() == SIGKILL ? temporary : "");
    EXPECT_EQ(after, before);
    EXPECT_EQ(runCommand({"/usr/bin/dash", {"join.command", "out"}}, dir.path()).status, 0);
    EXPECT_EQ(readFile(dir.file("out")), source);
}

INSTANTIATE_TEST_SUITE_P(Signals, ShJoinerStop, ::testing::Values(SIGKILL, SIGTERM));

} // namespace
