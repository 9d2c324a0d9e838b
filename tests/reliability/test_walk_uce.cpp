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

Scenario uniteScenario(const std::string &name, bool buffered)
{
    Scenario s = namedScenario(name, buffered);
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
        if (!outcome.failed) {
            EXPECT_EQ(readFile(dir + "/out/sub/joined.bin"), joined());
        }
    };
    s.mayExist = {"a.bin", "b.bin", "c.bin", "out", "out/sub", "out/sub/joined.bin"};

    const Expect invalid = report("Invalid file name");
    s.steps[SysCall::Mkdir] = {{foldersAlongTheOutput(), "a folder along the output's path", invalid}};
    s.steps[SysCall::Create] = {{1, "the output", invalid}};
    s.steps[SysCall::Stat] = {{6, "an input's existence test or size", invalid}};
    s.steps[SysCall::Open] = {{3, "an input", invalid}};
    s.steps[SysCall::Close] = {
        {3, "an input, only read", silent()},
        {1, "the output", invalid},
    };
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

// ---- Codify: 3000 data bytes, a 700-byte key, a stale buff.vq in the current directory.

const Bytes kData = patternBytes(3000, 5);
const Bytes kKey = patternBytes(700, 9);

Bytes codified(std::size_t n)
{
    Bytes result(n);
    for (std::size_t i = 0; i < n; ++i)
        result[i] = static_cast<unsigned char>(kData[i] + kKey[i % kKey.size()]);
    return result;
}

void checkCodify(const std::string &dir, const Outcome &outcome, const std::optional<Injection> &injection)
{
    EXPECT_EQ(readFile(dir + "/key.bin"), kKey) << "the key changed";
    const Bytes data = readFile(dir + "/data.bin");
    if (outcome.failed) {
        EXPECT_EQ(data, kData) << "a failed Codify changed the data file";
        for (const std::string &name : listDir(dir))
            EXPECT_FALSE(name.starts_with(".skarvel-")) << "a temporary was left: " << name;
        return;
    }
    // Only a failed removal, which is never told, leaves buff.vq behind.
    if (!injection || injection->call != SysCall::Remove) {
        EXPECT_FALSE(exists(dir + "/buff.vq"));
    }
    EXPECT_EQ(data, codified(kData.size()));
}

Scenario codifyScenario(const std::string &name, bool across)
{
    Scenario s = namedScenario(name, across, {SysCall::Rename, 1, EXDEV, false});
    s.prepare = [](const std::string &dir) {
        writeFile(dir + "/data.bin", kData);
        writeFile(dir + "/key.bin", kKey);
        writeFile(dir + "/buff.vq", std::string("stale"));
    };
    s.run = [](const std::string &dir) {
        ops::NullProgress progress;
        return outcomeOf([&] { ops::Codify(dir + "/data.bin", dir + "/key.bin", ops::CodifyDirection::Add, progress); });
    };
    s.check = checkCodify;
    s.mayExist = {"data.bin", "key.bin", "buff.vq"};
    if (across)
        s.mayExist.push_back(".skarvel-*");

    const Expect invalid = report("Invalid file name");
    s.steps[SysCall::Stat] = {
        {2, "the data's or the key's existence test", invalid},
        {1, "resolving the data file's links", io()},
        {2, "the data file's size and mode", io()},
        {1, "the key's size", io()},
    };
    s.steps[SysCall::Open] = {{2, "the data file, the key", io()}};
    s.steps[SysCall::Remove] = {{1, "a stale buff.vq", silent()}};
    s.steps[SysCall::Create] = {{1, "buff.vq", io()}};
    s.steps[SysCall::Read] = {
        {1, "the key", io()},
        {1, "the data", io(), box("Read beyond end of file")},
        {2, "the data's end", io(), silent()},
    };
    s.steps[SysCall::Write] = {{1, "buff.vq", io()}};
    s.steps[SysCall::Close] = {{3, "the data file, the key, buff.vq", io()}};
    s.steps[SysCall::Chmod] = {{1, "buff.vq given the data's mode", io()}};
    s.steps[SysCall::Fsync] = {{1, "buff.vq flushed", io()}};
    if (!across) {
        s.steps[SysCall::Rename] = {{1, "buff.vq into the data's place", io()}};
        return s;
    }
    // The result is copied beside the data file, then renamed over it.
    s.steps[SysCall::Open].push_back({1, "buff.vq read back", io()});
    s.steps[SysCall::Stat].push_back({1, "buff.vq's size", io()});
    s.steps[SysCall::Create].push_back({1, "the temporary beside the data", io()});
    s.steps[SysCall::CopyRange] = {{1, "the kernel copy: the buffered copy takes over", silent()}};
    s.steps[SysCall::Chmod].push_back({1, "the temporary given the data's mode", io()});
    s.steps[SysCall::Fsync].push_back({1, "the temporary flushed", io()});
    s.steps[SysCall::Close].push_back({1, "the temporary", io()});
    s.steps[SysCall::Close].push_back({1, "buff.vq, after the replacement", silent()});
    s.steps[SysCall::Remove].push_back({1, "buff.vq, after the replacement", silent()});
    return s;
}

TEST(CodifyWalk, EveryFailedCallIsToldAndKeepsTheData)
{
    printFaults("Codify", walk(codifyScenario("Codify", false)));
}

TEST(CodifyWalk, AcrossFileSystemsToo)
{
    printFaults("CodifyAcross", walk(codifyScenario("CodifyAcross", true)));
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
        ASSERT_TRUE(injection && injection->call == SysCall::Remove) << "an Erase that went through left the file";
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
    };
    s.steps[SysCall::Open] = {{1, "the file", io()}};
    s.steps[SysCall::Write] = {{2, "the zeros", io()}};
    s.steps[SysCall::Fsync] = {{1, "the zeros flushed", io()}};
    s.steps[SysCall::Close] = {{1, "the file", io()}};
    s.steps[SysCall::Remove] = {{1, "the removal", silent()}};
    printFaults("Erase", walk(s));
}

} // namespace
} // namespace reliability
