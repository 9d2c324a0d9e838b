// SPDX-License-Identifier: GPL-3.0-or-later
// Every file call of Cut fails once, with and without the part list.
#include "fault_walk.h"

#include "lists/checksum_list.h"

#include "support/temp_dir.h"

#include "ops/cut.h"
#include "ops/progress.h"
#include "lists/part_list.h"
#include "partset/cut_set.h"
#include "partset/recons_image.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace reliability {
namespace {

// The joiners a set holds: the programs the build carries and the shell joiner.
const long kJoiners = static_cast<long>(partset::builtJoiners().size());

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
    request.skip = ops::ParseSkipList("2");
    request.mode.count = 3;
    request.writePartList = withList;
    request.deleteSource = true;
    request.deleteLeavingPartsOut = true;
    return cutWithTheSet(request);
}

Bytes joinerImage(partset::JoinerPlatform platform)
{
    const auto image = partset::ReconsImage(platform);
    return Bytes(image.begin(), image.end());
}

// A file under an output's name is whole, whenever Cut stops: a part holds exactly its bytes, and
// the set's files, named last, are whole too.
void checkCut(const std::string &dir, const Outcome &outcome, const std::optional<Injection> &injection, bool withList)
{
    const std::string source = dir + "/data.bin";
    EXPECT_FALSE(exists(dir + "/data2.bin")) << "a skipped part was created";
    if (exists(dir + "/data1.bin")) {
        EXPECT_EQ(readFile(dir + "/data1.bin"), slice(0, 1000));
    }
    if (exists(dir + "/data3.bin")) {
        EXPECT_EQ(readFile(dir + "/data3.bin"), slice(2000, 1000));
    }
    if (exists(dir + "/info.txt")) {
        EXPECT_EQ(readText(dir + "/info.txt"), "data1.bin\r\ndata3.bin\r\n");
        EXPECT_TRUE(exists(dir + "/data1.bin") && exists(dir + "/data3.bin")) << "info.txt names a missing part";
    }
    if (exists(dir + "/info.sha256")) {
        const std::string digests = readText(dir + "/info.sha256");
        EXPECT_TRUE(digests.find("  data3.bin\n" + std::string(lists::kIncompleteSetComment) + "\n")
                        != std::string::npos
                    && digests.ends_with("  data.bin\n"))
            << "info.sha256 is not whole: " << digests;
    }
    if (exists(dir + "/Recons.exe")) {
        EXPECT_EQ(readFile(dir + "/Recons.exe"), joinerImage(partset::JoinerPlatform::Windows));
    }
    if (exists(dir + "/recons")) {
        EXPECT_EQ(readFile(dir + "/recons"), joinerImage(partset::JoinerPlatform::Linux));
    }
    if (outcome.failed) {
        ASSERT_TRUE(exists(source)) << "the source of a failed Cut was deleted";
        EXPECT_EQ(readFile(source), kSource) << "the source of a failed Cut changed";
        return;
    }
    EXPECT_TRUE(exists(dir + "/data1.bin") && exists(dir + "/data3.bin"));
    if (exists(source)) {
        // Only a failed removal, or a failed look at the source or its folder just before it,
        // which Cut returns untold, leaves the source.
        ASSERT_TRUE(injection
                    && (injection->call == SysCall::Remove || injection->call == SysCall::Open
                        || injection->call == SysCall::Stat));
        EXPECT_EQ(readFile(source), kSource);
    }
    if (withList) {
        EXPECT_TRUE(exists(dir + "/info.txt") && exists(dir + "/Recons.exe") && exists(dir + "/recons"));
    }
}

// Every file Cut makes goes through the same steps: looked at under its name, created as a
// temporary, written, with the source to be deleted flushed, named, closed and renamed. `named`: the
// temporaries are hidden named files, created by name, rather than unnamed ones linked in.
Scenario cutScenario(const std::string &name, bool withList, bool buffered, bool named)
{
    Scenario s = named ? namedScenario(name, true, kNoUnnamedFiles) : namedScenario(name, buffered);
    s.prepare = [](const std::string &dir) { writeFile(dir + "/data.bin", kSource); };
    s.run = [withList](const std::string &dir) { return cut(dir, withList); };
    s.check = [withList](const std::string &dir, const Outcome &outcome, const std::optional<Injection> &injection) {
        checkCut(dir, outcome, injection, withList);
    };
    s.mayExist = {"data.bin", "data1.bin", "data3.bin"};
    if (withList)
        s.mayExist.insert(s.mayExist.end(), {"info.txt", "info.sha256", "Recons.exe", "recons", "join.command"});

    const Expect readError = box("Stream read error");
    const Expect writeError = box("Stream write error");
    const Expect part1 = box("Cannot create file {dir}/data1.bin");
    const Expect part3 = box("Cannot create file {dir}/data3.bin");
    // The window's set: the lists' steps come before the parts' and the joiners' after them; once
    // the parts are made, the checksum list is named, then the joiners, and the part list last.
    const auto withSet = [withList](std::vector<Steps> parts, long checksums, long joiners, long list) {
        if (withList) {
            parts.push_back({checksums, "info.sha256", io()});
            parts.push_back({joiners, "a joiner", io()});
            parts.push_back({list, "info.txt", io()});
        }
        return parts;
    };
    std::vector<Steps> made = {{1, "part 1", part1}, {1, "part 3", part3}};
    if (withList) {
        made.insert(made.begin(), {{1, "info.txt", io()}, {1, "info.sha256", io()}});
        made.push_back({kJoiners, "a joiner", io()});
    }
    s.steps[SysCall::Stat] = {
        {1, "the source's existence test", report("Invalid file name")},
        {1, "the source's size", readError},
    };
    for (const Steps &step : made)
        s.steps[SysCall::Stat].push_back({step.calls, "the name of a file made", step.expect});
    // The source must be as it was read before any file made takes its name; after that, a failed
    // look at it only keeps it, untold, as a failed removal does.
    s.steps[SysCall::Stat].push_back({1, "the source looked at before the files made take their names", readError});
    s.steps[SysCall::Stat].push_back({1, "the source looked at again before its removal", silent()});
    s.steps[named ? SysCall::Create : SysCall::Unnamed] = made;
    if (!named)
        s.steps[SysCall::Link] = withSet({{2, "a part named", writeError}}, 1, kJoiners, 1);
    // The folder that holds the parts and the set is flushed before the source goes.
    s.steps[SysCall::Open] = {
        {1, "the source", box("Cannot open file {dir}/data.bin")},
        {1, "the folder of the files made", writeError},
        {1, "the folder held while the source is removed from it", silent()},
    };
    s.steps[SysCall::Fsync] = withSet({{2, "a part", writeError}}, 1, kJoiners, 1);
    s.steps[SysCall::Fsync].push_back({1, "the folder of the files made", writeError});
    s.steps[SysCall::Close] = withSet({{2, "a part", writeError}}, 1, kJoiners, 1);
    s.steps[SysCall::Close].push_back({1, "the folder of the files made", writeError});
    s.steps[SysCall::Close].push_back({1, "the source, only read", silent()});
    s.steps[SysCall::Rename] = withSet({{2, "a part", writeError}}, 1, kJoiners, 1);
    s.steps[SysCall::Remove] = {{1, "removing the source", silent()}};
    if (withList) {
        s.steps[SysCall::Chmod] = {{kJoiners, "a joiner made executable", io()}};
        s.steps[SysCall::Write] = withSet({{buffered ? 2 : 0, "a part", writeError}}, 1, kJoiners, 1);
    } else if (buffered) {
        s.steps[SysCall::Write] = {{2, "a part", writeError}};
    }
    // The checksums are taken from the bytes read back as they are copied, the part left out
    // included: its bytes are in the whole file's.
    if (withList)
        s.steps[SysCall::Read] = {{3, "the source, hashed", readError}};
    else if (buffered)
        s.steps[SysCall::Read] = {{2, "the source", readError}};
    if (!buffered)
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

// The list written out midway never carries its name: it is named whole, after every part.
void checkLongCut(const std::string &dir, const Outcome &outcome)
{
    EXPECT_EQ(readFile(dir + "/" + kLongStem + ".bin"), kLongSource) << "the source changed";
    std::string lines;
    for (int n = 1; n <= kLongParts; ++n) {
        lines += longPart(n) + "\r\n";
        if (exists(dir + "/" + longPart(n))) {
            EXPECT_EQ(readFile(dir + "/" + longPart(n)),
                      Bytes(kLongSource.begin() + (n - 1) * 100, kLongSource.begin() + n * 100));
        }
    }
    if (outcome.failed) {
        EXPECT_FALSE(exists(dir + "/info.txt")) << "a failed Cut named its list";
    } else
        EXPECT_EQ(readText(dir + "/info.txt"), lines);
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
        request.joiners = partset::joinerImages();
        ops::NullProgress progress;
        return outcomeOf([&] { ops::Cut(request, progress); });
    };
    s.check = [](const std::string &dir, const Outcome &outcome, const std::optional<Injection> &) {
        checkLongCut(dir, outcome);
    };
    s.mayExist = {kLongStem + "*", "info.txt", "Recons.exe", "recons", "join.command"};
    std::vector<Steps> made = {{1, "info.txt", io()}};
    for (int n = 1; n <= kLongParts; ++n)
        made.push_back({1, "a part", box("Cannot create file {dir}/" + longPart(n))});
    made.push_back({kJoiners, "a joiner", io()});
    s.steps[SysCall::Stat] = {
        {1, "the source's existence test", report("Invalid file name")},
        {1, "the source's size", box("Stream read error")},
    };
    s.steps[SysCall::Stat].insert(s.steps[SysCall::Stat].end(), made.begin(), made.end());
    s.steps[SysCall::Stat].push_back(
        {1, "the source looked at before the files take their names", box("Stream read error")});
    s.steps[SysCall::Open] = {{1, "the source", box("Cannot open file {dir}/" + kLongStem + ".bin")}};
    s.steps[SysCall::Unnamed] = made;
    s.steps[SysCall::CopyRange] = {{kLongParts, "the kernel copy: the buffered copy takes over", silent()}};
    s.steps[SysCall::Chmod] = {{kJoiners, "a joiner made executable", io()}};
    s.steps[SysCall::Write] = {
        {1, "info.txt's full buffer, parts still to come", io()},
        {kJoiners, "a joiner", io()},
        {1, "info.txt's last lines", io()},
    };
    // Every file takes its name once all are whole, the parts first; the source is closed
    // unchecked.
    for (const SysCall call : {SysCall::Link, SysCall::Close, SysCall::Rename}) {
        s.steps[call] = {
            {kLongParts, "a part", box("Stream write error")},
            {kJoiners, "a joiner", io()},
            {1, "info.txt", io()},
        };
    }
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
    bool named; // hidden named temporaries, where unnamed files are not supported
};

void PrintTo(const CutRow &row, std::ostream *out)
{
    *out << row.name;
}

class CutWalk : public ::testing::TestWithParam<CutRow> {};

TEST_P(CutWalk, EveryFailedCallIsToldAndKeepsTheSource)
{
    const CutRow &row = GetParam();
    const long faults = walk(cutScenario(row.name, row.withList, row.buffered, row.named));
    RecordProperty("injected_faults", static_cast<int>(faults));
    std::printf("%s: %ld injected faults\n", row.name, faults);
    EXPECT_GT(faults, 0);
}

INSTANTIATE_TEST_SUITE_P(Cut, CutWalk,
                         ::testing::Values(CutRow{"Cut", false, false, false},
                                           CutRow{"CutBuffered", false, true, false},
                                           CutRow{"CutWithList", true, false, false},
                                           CutRow{"CutWithListBuffered", true, true, false},
                                           CutRow{"CutWithListNamedTemporaries", true, false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace reliability
