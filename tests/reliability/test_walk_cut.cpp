// SPDX-License-Identifier: GPL-3.0-or-later
// Every file call of Cut fails once, with and without the part list.
#include "fault_walk.h"

#include "support/temp_dir.h"

#include "ops/cut.h"
#include "ops/progress.h"
#include "recons/part_list.h"
#include "recons/part_list_files.h"
#include "recons/recons_image.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace reliability {
namespace {

using namespace testsupport;

constexpr std::size_t kSourceBytes = 3000; // three parts of 1000, part 2 skipped
const Bytes kSource = patternBytes(kSourceBytes);

Bytes slice(std::size_t from, std::size_t n)
{
    return Bytes(kSource.begin() + static_cast<std::ptrdiff_t>(from),
                 kSource.begin() + static_cast<std::ptrdiff_t>(from + n));
}

Outcome cut(const std::string &dir, bool withList)
{
    ops::CutRequest request;
    request.source = dir + "/data.bin";
    request.skipText = "2";
    request.mode.count = 3;
    request.writePartList = withList;
    request.deleteSource = true;
    return cutAsTheWindowDoes(request);
}

// A named part either is missing or holds exactly its bytes: a part is never half right once Cut
// has gone on past it.
void checkCut(const std::string &dir, const Outcome &outcome, const std::optional<Injection> &injection, bool withList)
{
    const std::string source = dir + "/data.bin";
    EXPECT_FALSE(exists(dir + "/data2.bin")) << "a skipped part was created";
    if (outcome.failed) {
        ASSERT_TRUE(exists(source)) << "the source of a failed Cut was deleted";
        EXPECT_EQ(readFile(source), kSource) << "the source of a failed Cut changed";
        if (withList && exists(dir + "/info.txt")) {
            // The list names no part that was not made.
            for (const std::string &name : {std::string("data1.bin"), std::string("data3.bin")}) {
                if (readText(dir + "/info.txt").find(name) != std::string::npos) {
                    EXPECT_TRUE(exists(dir + "/" + name)) << name;
                }
            }
        }
        return;
    }
    EXPECT_EQ(readFile(dir + "/data1.bin"), slice(0, 1000));
    EXPECT_EQ(readFile(dir + "/data3.bin"), slice(2000, 1000));
    if (exists(source)) {
        // Only a failed removal (or a failed look before it) leaves the source.
        ASSERT_TRUE(injection && (injection->call == SysCall::Remove || injection->call == SysCall::Stat));
        EXPECT_EQ(readFile(source), kSource);
    }
    if (withList) {
        EXPECT_EQ(readText(dir + "/info.txt"), "data1.bin\r\ndata3.bin\r\n");
        const auto image = recons::ReconsImage();
        EXPECT_EQ(readFile(dir + "/Recons.exe"), Bytes(image.begin(), image.end()));
    }
}

Scenario cutScenario(const std::string &name, bool withList, bool buffered)
{
    Scenario s = namedScenario(name, buffered);
    s.prepare = [](const std::string &dir) { writeFile(dir + "/data.bin", kSource); };
    s.run = [withList](const std::string &dir) { return cut(dir, withList); };
    s.check = [withList](const std::string &dir, const Outcome &outcome, const std::optional<Injection> &injection) {
        checkCut(dir, outcome, injection, withList);
    };
    s.mayExist = {"data.bin", "data1.bin", "data3.bin"};
    if (withList)
        s.mayExist.insert(s.mayExist.end(), {"info.txt", "Recons.exe"});

    const Expect readError = box("Stream read error");
    const Expect writeError = box("Stream write error");
    s.steps[SysCall::Stat] = {
        {1, "the source's existence test", report("Invalid file name")},
        {1, "the source's size", readError},
        {1, "the source's existence test before its removal", silent()},
    };
    // The folders that hold the parts (and the list) are flushed before the source goes.
    const long folders = withList ? 2 : 1;
    s.steps[SysCall::Open] = {
        {1, "the source", box("Cannot open file {dir}/data.bin")},
        {folders, "a folder of the files made", writeError},
    };
    s.steps[SysCall::Remove] = {{1, "removing the source", silent()}};
    if (!withList) {
        s.steps[SysCall::Create] = {
            {1, "part 1", box("Cannot create file {dir}/data1.bin")},
            {1, "part 3", box("Cannot create file {dir}/data3.bin")},
        };
        s.steps[SysCall::Close] = {
            {2, "a part", writeError},
            {1, "the source, only read", silent()},
            {1, "the parts' folder", writeError},
        };
        s.steps[SysCall::Fsync] = {{2, "a part", writeError}, {1, "the parts' folder", writeError}};
        if (buffered)
            s.steps[SysCall::Write] = {{2, "a part", writeError}};
    } else {
        s.steps[SysCall::Create] = {
            {1, "info.txt", io()},
            {1, "part 1", box("Cannot create file {dir}/data1.bin")},
            {1, "part 3", box("Cannot create file {dir}/data3.bin")},
            {1, "Recons.exe", io()},
        };
        s.steps[SysCall::Chmod] = {{1, "Recons.exe made executable", io()}};
        s.steps[SysCall::Close] = {
            {2, "a part", writeError},
            {1, "Recons.exe", io()},
            {1, "info.txt", io()},
            {1, "the source, only read", silent()},
            {2, "the list's and the parts' folder", writeError},
        };
        s.steps[SysCall::Fsync] = {
            {2, "a part", writeError},
            {1, "Recons.exe", io()},
            {1, "info.txt", io()},
            {2, "the list's and the parts' folder", writeError},
        };
        s.steps[SysCall::Write] = {
            {buffered ? 2 : 0, "a part", writeError},
            {1, "Recons.exe", io()},
            {1, "info.txt's lines", io()},
        };
    }
    if (buffered)
        s.steps[SysCall::Read] = {{2, "the source", readError}};
    else
        s.steps[SysCall::CopyRange] = {{2, "the kernel copy of a part: the buffered copy takes over", silent()}};
    return s;
}

// ---- Twenty parts with names near the longest allowed: info.txt's buffer fills and is written
// out while parts are still being made.

constexpr int kLongParts = 20;
const std::string kLongStem(236, 'n');
const Bytes kLongSource = patternBytes(kLongParts * 100, 41);

std::string longPart(int n)
{
    return kLongStem + std::to_string(n) + ".bin";
}

void checkLongCut(const std::string &dir, const Outcome &outcome)
{
    EXPECT_EQ(readFile(dir + "/" + kLongStem + ".bin"), kLongSource) << "the source changed";
    std::string lines;
    for (int n = 1; n <= kLongParts; ++n) {
        if (exists(dir + "/" + longPart(n)))
            lines += longPart(n) + "\r\n";
    }
    if (!outcome.failed) {
        EXPECT_EQ(readText(dir + "/info.txt"), lines);
        return;
    }
    // What the list holds so far names parts that were made, in order.
    if (exists(dir + "/info.txt")) {
        const std::string listed = readText(dir + "/info.txt");
        EXPECT_EQ(listed, lines.substr(0, listed.size()));
    }
}

Scenario longListScenario()
{
    Scenario s;
    s.name = "CutWithAFullListBuffer";
    s.prepare = [](const std::string &dir) { writeFile(dir + "/" + kLongStem + ".bin", kLongSource); };
    s.run = [](const std::string &dir) {
        ops::CutRequest request;
        request.source = dir + "/" + kLongStem + ".bin";
        request.mode.count = kLongParts;
        request.writePartList = true;
        ops::NullProgress progress;
        recons::PartListFiles list;
        return outcomeOf([&] { ops::Cut(request, progress, &list); });
    };
    s.check = [](const std::string &dir, const Outcome &outcome, const std::optional<Injection> &) {
        checkLongCut(dir, outcome);
    };
    s.mayExist = {kLongStem + "*", "info.txt", "Recons.exe"};
    s.steps[SysCall::Stat] = {
        {1, "the source's existence test", report("Invalid file name")},
        {1, "the source's size", box("Stream read error")},
    };
    s.steps[SysCall::Open] = {{1, "the source", box("Cannot open file {dir}/" + kLongStem + ".bin")}};
    s.steps[SysCall::Create] = {{1, "info.txt", io()}};
    for (int n = 1; n <= kLongParts; ++n)
        s.steps[SysCall::Create].push_back({1, "a part", box("Cannot create file {dir}/" + longPart(n))});
    s.steps[SysCall::Create].push_back({1, "Recons.exe", io()});
    s.steps[SysCall::CopyRange] = {{kLongParts, "the kernel copy: the buffered copy takes over", silent()}};
    s.steps[SysCall::Chmod] = {{1, "Recons.exe made executable", io()}};
    s.steps[SysCall::Write] = {
        {1, "info.txt's full buffer, parts still to come", io()},
        {1, "Recons.exe", io()},
        {1, "info.txt's last lines", io()},
    };
    s.steps[SysCall::Close] = {
        {kLongParts, "a part", box("Stream write error")},
        {1, "Recons.exe", io()},
        {1, "info.txt", io()},
        {1, "the source, only read", silent()},
    };
    return s;
}

TEST(CutWalkLongList, TheListWrittenMidwayNamesOnlyMadeParts)
{
    const long faults = walk(longListScenario());
    std::printf("CutWithAFullListBuffer: %ld injected faults\n", faults);
    EXPECT_GT(faults, 0);
}

struct CutRow {
    const char *name;
    bool withList;
    bool buffered;
};

void PrintTo(const CutRow &row, std::ostream *out)
{
    *out << row.name;
}

class CutWalk : public ::testing::TestWithParam<CutRow> {};

TEST_P(CutWalk, EveryFailedCallIsToldAndKeepsTheSource)
{
    const CutRow &row = GetParam();
    const long faults = walk(cutScenario(row.name, row.withList, row.buffered));
    RecordProperty("injected_faults", static_cast<int>(faults));
    std::printf("%s: %ld injected faults\n", row.name, faults);
    EXPECT_GT(faults, 0);
}

INSTANTIATE_TEST_SUITE_P(Cut, CutWalk,
                         ::testing::Values(CutRow{"Cut", false, false}, CutRow{"CutBuffered", false, true},
                                           CutRow{"CutWithList", true, false},
                                           CutRow{"CutWithListBuffered", true, true}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace reliability
