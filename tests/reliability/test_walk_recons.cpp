// SPDX-License-Identifier: GPL-3.0-or-later
// Every file call of WriteRecons and of the joiner fails once.
#include "fault_walk.h"
#include "joiner_run.h"

#include "support/temp_dir.h"

#include "recons/recons_image.h"
#include "recons/write_recons.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>

namespace reliability {
namespace {

using namespace testsupport;

Bytes image()
{
    const auto bytes = recons::ReconsImage();
    return Bytes(bytes.begin(), bytes.end());
}

TEST(WriteReconsWalk, EveryFailedCallIsAnIoReport)
{
    Scenario s;
    s.name = "WriteRecons";
    s.prepare = [](const std::string &) {};
    s.run = [](const std::string &) { return outcomeOf([] { recons::WriteRecons(); }); };
    s.check = [](const std::string &dir, const Outcome &outcome, const std::optional<Injection> &) {
        const std::string path = dir + "/Recons.exe";
        if (outcome.failed) {
            // Missing, or holding the bytes written before the failure.
            if (exists(path)) {
                const Bytes written = readFile(path);
                EXPECT_TRUE(std::equal(written.begin(), written.end(), image().begin()));
            }
            return;
        }
        EXPECT_EQ(readFile(path), image());
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0100, 0100u);
    };
    s.mayExist = {"Recons.exe"};
    s.steps[SysCall::Create] = {{1, "Recons.exe", io()}};
    s.steps[SysCall::Chmod] = {{1, "made executable", io()}};
    s.steps[SysCall::Write] = {{1, "the image", io()}};
    s.steps[SysCall::Close] = {{1, "Recons.exe", io()}};
    const long faults = walk(s);
    std::printf("WriteRecons: %ld injected faults\n", faults);
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

// The joiner's report, or its "Error in info.txt", as an Outcome.
Outcome runJoiner(const std::string &dir)
{
    const JoinerRun run = runJoinerIn(dir, kTyped, dir);
    if (run.status == 1)
        return Outcome::told(true, false, joinerReportText(run.printed));
    if (run.printed.find("Error in info.txt\r\n") != std::string::npos)
        return Outcome::told(true, true, "Error in info.txt");
    if (run.status != 0 || !run.printed.ends_with("Complete\r\n"))
        return Outcome::told(true, true, "(unfinished) " + run.printed);
    return {};
}

// The output under the name typed, or under the part of it read before the input ended.
std::string outputName(const std::string &dir)
{
    for (std::string name = "joined.bin"; !name.empty(); name.pop_back()) {
        if (exists(dir + "/" + name))
            return dir + "/" + name;
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
        if (outcome.reported) {
            EXPECT_EQ(output, "") << "a list that failed its check created the output";
        }
        if (!output.empty()) {
            const Bytes written = readFile(output);
            const Bytes all = allParts();
            EXPECT_TRUE(written.size() <= all.size() && std::equal(written.begin(), written.end(), all.begin()));
        }
        return;
    }
    ASSERT_NE(output, "");
    // A part that ends before its size (it shrank meanwhile) is joined as it stands.
    if (injection && injection->call == SysCall::Read && injection->err == 0 && readFile(output) != allParts())
        return;
    EXPECT_EQ(readFile(output), allParts());
}

Scenario joinerScenario(const std::string &name, bool buffered)
{
    Scenario s = namedScenario(name, buffered);
    s.prepare = [](const std::string &dir) {
        for (int n = 0; n < 3; ++n)
            writeFile(dir + "/p" + std::to_string(n + 1), kParts[n]);
        writeFile(dir + "/info.txt", kList);
    };
    s.run = runJoiner;
    s.check = checkJoiner;
    s.mayExist = {"p1", "p2", "p3", "info.txt", "console.in", "console.out", "j*"};

    const Expect listError = report("Error in info.txt");
    s.steps[SysCall::Stat] = {
        {1, "info.txt's existence test", listError},
        {3, "a listed part's existence test", listError},
        // Without info.sha256 the join is the plain one.
        {1, "info.sha256's existence test", silent()},
        {3, "a part's size", io()},
    };
    s.steps[SysCall::Open] = {
        {2, "info.txt, checked and then read again", io()},
        {3, "a part", io()},
    };
    s.steps[SysCall::Create] = {{1, "the output", io()}};
    s.steps[SysCall::Close] = {
        {3, "a part, only read", silent()},
        {1, "the output", io()},
    };
    std::vector<Steps> reads = {
        {1, "info.txt checked", io(), listError},
        {2, "info.txt's end, checked", io(), silent()},
        {1, "the output name's first character", io(), box("Invalid filename")},
        {10, "the rest of the output name", io(), silent()},
        // An empty first line names no part: its open fails.
        {1, "info.txt read again", io(), box("File not found")},
        {1, "info.txt's end, read again", io(), silent()},
    };
    if (buffered)
        reads.push_back({3, "a part", io(), silent()});
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
