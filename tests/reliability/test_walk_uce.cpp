// SPDX-License-Identifier: GPL-3.0-or-later
// Every file call of Unite, Codify and Erase fails once.
#include "fault_walk.h"

#include "support/temp_dir.h"

#include "ops/codify.h"
#include "ops/erase.h"
#include "ops/progress.h"
#include "ops/unite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

namespace reliability {
namespace {

using namespace testsupport;
namespace fs = std::filesystem;

void printFaults(const char *name, long faults)
{
    std::printf("%s: %ld injected faults\n", name, faults);
    EXPECT_GT(faults, 0);
}

// ---- Unite: three inputs, the middle one empty, into a folder that does not exist yet.

const Bytes kFirst = patternBytes(1500, 1);
const Bytes kThird = patternBytes(2000, 3);

Bytes joined()
{
    Bytes all = kFirst;
    all.insert(all.end(), kThird.begin(), kThird.end());
    return all;
}

// makeDirectories makes every folder along the output's path, the existing ones included.
long foldersAlongTheOutput()
{
    TempDir probe;
    const fs::path output = fs::path(probe.path()) / "out" / "sub";
    return std::distance(output.begin(), output.end()) - 1; // the root is no mkdir
}

Scenario uniteScenario(const std::string &name, bool faulted, const BaseFault &base = kNoCopyRange)
{
    const bool buffered = faulted && base.call == SysCall::CopyRange;
    const bool named = faulted && base.call == SysCall::Unnamed;
    Scenario s = namedScenario(name, faulted, base);
    s.prepare = [](const std::string &dir) {
        writeFile(dir + "/a.bin", kFirst);
        writeFile(dir + "/b.bin", Bytes{});
        writeFile(dir + "/c.bin", kThird);
    };
    s.run = [](const std::string &dir) {
        ops::NullProgress progress;
        const std::vector<std::string> inputs = {dir + "/a.bin", dir + "/b.bin", dir + "/c.bin"};
        return outcomeOf([&] { ops::Unite(inputs, dir + "/out/sub/joined.bin", progress); });
    };
    s.check = [](const std::string &dir, const Outcome &outcome, const std::optional<Injection> &) {
        EXPECT_EQ(readFile(dir + "/a.bin"), kFirst) << "a failed Unite changed an input";
        EXPECT_EQ(readFile(dir + "/b.bin"), Bytes{}) << "a failed Unite changed an input";
        EXPECT_EQ(readFile(dir + "/c.bin"), kThird) << "a failed Unite changed an input";
        if (!outcome.failed)
            EXPECT_EQ(readFile(dir + "/out/sub/joined.bin"), joined());
        else
            EXPECT_FALSE(exists(dir + "/out")) << "a failed Unite left the folders it made";
    };
    s.mayExist = {"a.bin", "b.bin", "c.bin", "out", "out/sub", "out/sub/joined.bin"};

    const Expect invalid = report("Invalid file name");
    s.steps[SysCall::Mkdir] = {{foldersAlongTheOutput(), "a folder along the output's path", invalid}};
    // Every input is looked at and opened before anything is made, and again when it is copied:
    // before its copy and after it, to tell that it did not change meanwhile.
    s.steps[SysCall::Stat] = {
        {6, "an input's existence test and its size", invalid},
        {1, "the output's name", invalid},
        {6, "an input's size before and after its copy", invalid},
    };
    s.steps[SysCall::Open] = {{6, "an input", invalid}};
    s.steps[named ? SysCall::Create : SysCall::Unnamed] = {{1, "the output's temporary", invalid}};
    if (!named)
        s.steps[SysCall::Link] = {{1, "the output's temporary named", invalid}};
    s.steps[SysCall::Close] = {
        {6, "an input, only read", silent()},
        {1, "the output", invalid},
    };
    s.steps[SysCall::Rename] = {{1, "the output given its name", invalid}};
    if (buffered) {
        s.steps[SysCall::Read] = {{2, "an input", invalid}};
        s.steps[SysCall::Write] = {{2, "the output", invalid}};
    } else {
        s.steps[SysCall::CopyRange] = {{2, "the kernel copy: the buffered copy takes over", silent()}};
    }
    return s;
}

TEST(UniteWalk, EveryFailedCallIsInvalidFileNameAndChangesNoInput)
{
    printFaults("Unite", walk(uniteScenario("Unite", false)));
}

TEST(UniteWalk, TheBufferedCopyToo)
{
    printFaults("UniteBuffered", walk(uniteScenario("UniteBuffered", true)));
}

TEST(UniteWalk, HiddenNamedTemporariesToo)
{
    printFaults("UniteNamedTemporaries", walk(uniteScenario("UniteNamedTemporaries", true, kNoUnnamedFiles)));
}

// ---- Codify: 3000 data bytes in a folder of their own, a 700-byte key, a stale buff.vq in the
// current directory, which Codify never touches: its buff.vq lies beside the data file.

const Bytes kData = patternBytes(3000, 5);
const Bytes kKey = patternBytes(700, 9);

Bytes codified(std::size_t n)
{
    Bytes result(n);
    for (std::size_t i = 0; i < n; ++i)
        result[i] = static_cast<unsigned char>(kData[i] + kKey[i % kKey.size()]);
    return result;
}

void checkCodify(const std::string &dir, const Outcome &outcome, bool throughLink)
{
    EXPECT_EQ(readFile(dir + "/key.bin"), kKey) << "the key changed";
    EXPECT_EQ(readText(dir + "/buff.vq"), "stale") << "a buff.vq Codify did not make changed";
    EXPECT_FALSE(exists(dir + "/d/buff.vq")) << "Codify left its buff.vq";
    if (throughLink) {
        EXPECT_TRUE(fs::is_symlink(dir + "/link.bin")) << "the link was replaced";
    }
    EXPECT_EQ(readFile(dir + "/d/data.bin"), outcome.failed ? kData : codified(kData.size()));
}

// `throughLink`: the data file is named by a link in the current directory; its buff.vq still goes
// beside the file itself, so that the result takes its place in one rename.
Scenario codifyScenario(const std::string &name, bool throughLink)
{
    Scenario s = namedScenario(name, false);
    s.prepare = [](const std::string &dir) {
        fs::create_directory(dir + "/d");
        writeFile(dir + "/d/data.bin", kData);
        fs::create_symlink("d/data.bin", dir + "/link.bin");
        writeFile(dir + "/key.bin", kKey);
        writeFile(dir + "/buff.vq", std::string("stale"));
    };
    s.run = [throughLink](const std::string &dir) {
        ops::NullProgress progress;
        const std::string data = dir + (throughLink ? "/link.bin" : "/d/data.bin");
        return outcomeOf([&] { ops::Codify(data, dir + "/key.bin", ops::CodifyDirection::Add, progress); });
    };
    s.check = [throughLink](const std::string &dir, const Outcome &outcome, const std::optional<Injection> &) {
        checkCodify(dir, outcome, throughLink);
    };
    s.mayExist = {"d", "d/data.bin", "link.bin", "key.bin", "buff.vq"};

    const Expect invalid = report("Invalid file name");
    s.steps[SysCall::Stat] = {
        {2, "the data's or the key's existence test", invalid},
        {2, "the data file's and the key's size and times", io()},
        {1, "the name buff.vq is to replace", io()},
        {1, "resolving the data file's links", io()},
        {1, "the key's size for its stream", io()},
        {2, "the data file and the key looked at again, unchanged", io()},
    };
    s.steps[SysCall::Open] = {{2, "the data file, the key", io()}};
    s.steps[SysCall::Create] = {{1, "buff.vq beside the data", io()}};
    s.steps[SysCall::Read] = {
        {1, "the key", io()},
        {1, "the data", io(), box("Read beyond end of file")},
        {2, "the data's end", io(), silent()},
    };
    s.steps[SysCall::Write] = {{1, "buff.vq", io()}};
    s.steps[SysCall::Chmod] = {{1, "buff.vq given the data's mode", io()}};
    s.steps[SysCall::Close] = {{3, "the data file, the key, buff.vq", io()}};
    s.steps[SysCall::Fsync] = {{1, "buff.vq flushed", io()}};
    s.steps[SysCall::Rename] = {{1, "buff.vq into the data's place", io()}};
    return s;
}

TEST(CodifyWalk, EveryFailedCallIsToldAndKeepsTheData)
{
    printFaults("Codify", walk(codifyScenario("Codify", false)));
}

TEST(CodifyWalk, ThroughALinkToo)
{
    printFaults("CodifyThroughALink", walk(codifyScenario("CodifyThroughALink", true)));
}

// ---- Erase: a little over 1 MiB, so that it takes two writes.

const Bytes kDoomed = patternBytes((1 << 20) + 3000, 11);

void checkErase(const std::string &dir, const Outcome &outcome, const std::optional<Injection> &injection)
{
    const std::string path = dir + "/doomed.bin";
    if (!outcome.failed && !exists(path))
        return;
    ASSERT_TRUE(exists(path));
    if (!outcome.failed) {
        ASSERT_TRUE(injection && (injection->call == SysCall::Remove || injection->call == SysCall::Open))
            << "an Erase that went through left the file";
    }
    const Bytes bytes = readFile(path);
    ASSERT_EQ(bytes.size(), kDoomed.size()) << "the length changed";
    // Zeros up to where it stopped, the old bytes after it.
    const auto firstKept = std::find_if(bytes.begin(), bytes.end(), [](unsigned char b) { return b != 0; });
    const auto at = firstKept - bytes.begin();
    EXPECT_TRUE(std::equal(firstKept, bytes.end(), kDoomed.begin() + at)) << "bytes after the zeros changed";
    if (!outcome.failed) {
        EXPECT_EQ(firstKept, bytes.end()) << "a file whose removal failed must be all zeros";
    }
}

TEST(EraseWalk, EveryFailedCallIsToldAndLeavesTheFile)
{
    Scenario s;
    s.name = "Erase";
    s.prepare = [](const std::string &dir) { writeFile(dir + "/doomed.bin", kDoomed); };
    s.run = [](const std::string &dir) {
        ops::NullProgress progress;
        return outcomeOf([&] { ops::Erase(dir + "/doomed.bin", progress); });
    };
    s.check = checkErase;
    s.mayExist = {"doomed.bin"};
    s.steps[SysCall::Stat] = {
        {1, "the existence test", report("Invalid file name")},
        {1, "the size", io()},
        {1, "the size again, unchanged by others", io()},
    };
    s.steps[SysCall::Open] = {{1, "the file", io()}, {1, "its folder, held while the name is removed", silent()}};
    s.steps[SysCall::Write] = {{2, "the zeros", io()}};
    s.steps[SysCall::Fsync] = {{1, "the zeros flushed", io()}};
    s.steps[SysCall::Close] = {{1, "the file", io()}};
    s.steps[SysCall::Remove] = {{1, "the removal", silent()}};
    printFaults("Erase", walk(s));
}

} // namespace
} // namespace reliability
