// SPDX-License-Identifier: GPL-3.0-or-later
// Every file call of WriteRecons and of the joiner fails once.
#include "fault_walk.h"
#include "joiner_run.h"

#include "support/temp_dir.h"

#include "partset/recons_image.h"
#include "partset/write_recons.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>

namespace reliability {
namespace {

using namespace testsupport;

Bytes image()
{
    const auto bytes = partset::ReconsImage(partset::JoinerPlatform::Windows);
    return Bytes(bytes.begin(), bytes.end());
}

// `over`: an older "Recons.exe" is there, which only the whole joiner replaces.
Scenario writeReconsScenario(const std::string &name, bool over)
{
    Scenario s;
    s.name = name;
    s.prepare = [over](const std::string &dir) {
        if (over)
            writeFile(dir + "/Recons.exe", std::string("old"));
    };
    s.run = [](const std::string &) { return outcomeOf([] { partset::WriteRecons(); }); };
    s.check = [over](const std::string &dir, const Outcome &outcome, const std::optional<Injection> &) {
        const std::string path = dir + "/Recons.exe";
        if (outcome.failed) {
            if (over) {
                EXPECT_EQ(readText(path), "old");
            } else
                EXPECT_FALSE(exists(path)) << "a failed WriteRecons named its output";
            return;
        }
        EXPECT_EQ(readFile(path), image());
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0100, 0100u);
    };
    s.mayExist = {"Recons.exe"};
    s.steps[SysCall::Stat] = {{1, "the name", io()}};
    s.steps[SysCall::Chmod] = {{1, "made executable", io()}};
    if (over) {
        s.steps[SysCall::Stat].push_back({1, "resolving the old file's links", io()});
        s.steps[SysCall::Chmod].insert(s.steps[SysCall::Chmod].begin(), {1, "given the old file's mode", io()});
    }
    s.steps[SysCall::Unnamed] = {{1, "the temporary", io()}};
    s.steps[SysCall::Write] = {{1, "the image", io()}};
    s.steps[SysCall::Link] = {{1, "the temporary named", io()}};
    s.steps[SysCall::Close] = {{1, "Recons.exe", io()}};
    s.steps[SysCall::Rename] = {{1, "the temporary given its name", io()}};
    return s;
}

TEST(WriteReconsWalk, EveryFailedCallIsAnIoReport)
{
    std::printf("WriteRecons: %ld injected faults\n", walk(writeReconsScenario("WriteRecons", false)));
}

TEST(WriteReconsWalk, OverAnOlderJoinerToo)
{
    std::printf("WriteReconsOver: %ld injected faults\n", walk(writeReconsScenario("WriteReconsOver", true)));
}

// ---- The joiner, run in-process on three parts, its console on two files.

const Bytes kParts[] = {patternBytes(1200, 21), patternBytes(800, 22), patternBytes(500, 23)};
const std::string kList = "p1\r\np2\r\np3\r\n";
const std::string kTyped = "joined.bin\n\n";

Bytes allParts()
{
    Bytes all;
    for (const Bytes &part : kParts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::string kChangedWhileRead = "changed while it was read";

// The joiner's report, its "Error in info.txt" or a part that changed, as an Outcome.
Outcome runJoiner(const std::string &dir)
{
    const JoinerRun run = runJoinerIn(dir, kTyped, dir);
    if (run.printed.find("Error in info.txt\r\n") != std::string::npos)
        return Outcome::told(run.status == 1, true, "Error in info.txt");
    if (run.printed.find(" " + kChangedWhileRead + ";") != std::string::npos)
        return Outcome::told(run.status == 1, true, kChangedWhileRead);
    if (run.status == 1)
        return Outcome::told(true, false, joinerReportText(run.printed));
    if (run.status != 0 || !run.printed.ends_with("Complete\r\n"))
        return Outcome::told(true, true, "(unfinished) " + run.printed);
    return {};
}

// An older file under the output's name, which only the whole join replaces.
const std::string kOld = "old";

// The output made under the name typed, or under the part of it read before the input ended; ""
// when none was made.
std::string outputName(const std::string &dir)
{
    for (std::string name = "joined.bin"; !name.empty(); name.pop_back()) {
        const std::string path = dir + "/" + name;
        if (exists(path) && (name != "joined.bin" || readText(path) != kOld))
            return path;
    }
    return "";
}

void checkJoiner(const std::string &dir, const Outcome &outcome, const std::optional<Injection> &injection)
{
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(readFile(dir + "/p" + std::to_string(n + 1)), kParts[n]) << "the joiner changed a part";
    EXPECT_EQ(readText(dir + "/info.txt"), kList) << "the joiner changed the list";
    const std::string output = outputName(dir);
    if (outcome.failed) {
        // Only a failure after the join was whole (the last line, Enter) leaves it named.
        if (!output.empty()) {
            EXPECT_EQ(readFile(output), allParts()) << "a failed join named a partial output";
        }
        return;
    }
    ASSERT_NE(output, "");
    EXPECT_EQ(readFile(output), allParts());
    static_cast<void>(injection);
}

Scenario joinerScenario(const std::string &name, bool buffered)
{
    Scenario s = namedScenario(name, buffered);
    s.prepare = [](const std::string &dir) {
        for (int n = 0; n < 3; ++n)
            writeFile(dir + "/p" + std::to_string(n + 1), kParts[n]);
        writeFile(dir + "/info.txt", kList);
        writeFile(dir + "/joined.bin", kOld);
    };
    s.run = runJoiner;
    s.check = checkJoiner;
    s.mayExist = {"p1", "p2", "p3", "info.txt", "console.in", "console.out", "j*"};

    const Expect listError = report("Error in info.txt");
    s.steps[SysCall::Stat] = {
        {1, "info.txt's existence test", listError},
        {3, "a listed part's existence test", listError},
        {1, "the output's name", io()},
        {1, "resolving the older output's links", io()},
        {6, "a part's size and times before and after its copy", io()},
    };
    s.steps[SysCall::Chmod] = {{1, "the output given the older one's mode", io()}};
    s.steps[SysCall::Unnamed] = {{1, "the output's temporary", io()}};
    s.steps[SysCall::Link] = {{1, "the output's temporary named", io()}};
    s.steps[SysCall::Rename] = {{1, "the output given its name", io()}};
    s.steps[SysCall::Open] = {
        {2, "info.txt, checked and then read again", io()},
        {3, "a part", io()},
    };
    s.steps[SysCall::Close] = {
        {3, "a part, only read", silent()},
        {1, "the output", io()},
    };
    // A first read of nothing is read again: the list's reader looks for a byte-order mark first.
    std::vector<Steps> reads = {
        {1, "info.txt checked", io(), silent()},
        {2, "info.txt's end, checked", io(), silent()},
        {1, "the output name's first character", io(), box("Invalid filename")},
        {10, "the rest of the output name", io(), silent()},
        {1, "info.txt read again", io(), silent()},
        {1, "info.txt's end, read again", io(), silent()},
    };
    // A part that ends before its size changed while it was read: the output is not made.
    if (buffered)
        reads.push_back({3, "a part", io(), report(kChangedWhileRead)});
    reads.push_back({1, "Enter at the end", io(), silent()});
    s.steps[SysCall::Read] = reads;

    // Each message line is its text and then CR LF; an empty line is CR LF alone.
    const long banner = 2 + 2 + 1 + 2 + 1;
    std::vector<Steps> writes = {
        {banner, "the banner", io()},
        {2, "the prompt", io()},
        {4, "Wait... and Opened files:", io()},
    };
    for (int n = 0; n < 3; ++n) {
        writes.push_back({2, "a part's Ok line", io()});
        if (buffered)
            writes.push_back({1, "a part's bytes", io()});
    }
    writes.push_back({2, "Complete", io()});
    s.steps[SysCall::Write] = writes;
    if (!buffered)
        s.steps[SysCall::CopyRange] = {{3, "the kernel copy: the buffered copy takes over", silent()}};
    return s;
}

TEST(JoinerWalk, EveryFailedCallIsReportedAndChangesNoPart)
{
    const long faults = walk(joinerScenario("Joiner", false));
    std::printf("Joiner: %ld injected faults\n", faults);
}

TEST(JoinerWalk, TheBufferedCopyToo)
{
    const long faults = walk(joinerScenario("JoinerBuffered", true));
    std::printf("JoinerBuffered: %ld injected faults\n", faults);
}

} // namespace
} // namespace reliability
