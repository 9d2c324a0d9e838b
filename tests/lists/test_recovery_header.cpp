// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/recovery_header.h"
#include "lists/set_names.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using lists::RecoveryHeaderProblem;
using Bytes = std::vector<unsigned char>;

lists::RecoveryHeader sampleHeader()
{
    lists::RecoveryHeader header;
    header.layout.identity.fill(0xAB);
    header.layout.partSizes = {1000, 1000, 1000, 7};
    header.layout.sourceSize = 3007;
    header.layout.perGroup = 2;
    header.layout.groups = 1;
    header.index = 1;
    return header;
}

void put(Bytes &bytes, std::size_t at, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// Signs the header again after a change, as a hostile writer would.
void sign(Bytes &bytes)
{
    digest::Sha256 sha;
    sha.update(bytes.data(), bytes.size() - 32);
    const auto own = sha.finish();
    std::memcpy(bytes.data() + bytes.size() - 32, own.data(), own.size());
}

// A sound header reads back as written; every field a reader checks is broken alone, and `resign`
// rows are signed again, so the check reached is the field's own, not the digest.
TEST(RecoveryHeader, ReadsWhatItWritesAndRefusesEachBrokenField)
{
    const struct Row {
        const char *why;
        std::function<void(Bytes &)> change;
        bool resign;
        RecoveryHeaderProblem reason;
        std::int64_t fileSize = 152 + 1000;
    } rows[] = {
        {"sound", [](Bytes &) {}, false, RecoveryHeaderProblem::None},
        {"magic", [](Bytes &b) { b[3] = 'X'; }, true, RecoveryHeaderProblem::Magic},
        {"version 2", [](Bytes &b) { put(b, 8, 2, 4); }, true, RecoveryHeaderProblem::Version},
        {"header size off by one", [](Bytes &b) { put(b, 12, 153, 4); }, true, RecoveryHeaderProblem::HeaderSize},
        {"no parts", [](Bytes &b) { put(b, 56, 0, 4); }, true, RecoveryHeaderProblem::PartCount},
        {"a million parts and one", [](Bytes &b) { put(b, 56, 1000001, 4); }, true, RecoveryHeaderProblem::PartCount},
        {"more parts than bytes", [](Bytes &b) { put(b, 56, 5, 4), put(b, 12, 160, 4); }, true,
         RecoveryHeaderProblem::Short, 1000000},
        {"a file no longer than its header", [](Bytes &) {}, true, RecoveryHeaderProblem::FileSize, 152},
        {"coding 2", [](Bytes &b) { put(b, 80, 2, 4); }, true, RecoveryHeaderProblem::Coding},
        {"reserved not 0", [](Bytes &b) { put(b, 84, 1, 4); }, true, RecoveryHeaderProblem::Coding},
        {"N = 0", [](Bytes &b) { put(b, 60, 0, 4); }, true, RecoveryHeaderProblem::PerGroup},
        {"N over the limit", [](Bytes &b) { put(b, 60, 255, 4); }, true, RecoveryHeaderProblem::PerGroup},
        {"two groups for four parts", [](Bytes &b) { put(b, 64, 2, 4); }, true, RecoveryHeaderProblem::GroupCount},
        {"index N*G", [](Bytes &b) { put(b, 68, 2, 4); }, true, RecoveryHeaderProblem::Index},
        {"index far out", [](Bytes &b) { put(b, 68, 0xFFFFFFFF, 4); }, true, RecoveryHeaderProblem::Index},
        {"sizes short of the source", [](Bytes &b) { put(b, 48, 3008, 8); }, true, RecoveryHeaderProblem::Sizes},
        {"a size over L", [](Bytes &b) { put(b, 88 + 24, 1001, 8), put(b, 48, 4001, 8); }, true,
         RecoveryHeaderProblem::Sizes},
        {"the largest not L", [](Bytes &b) { put(b, 72, 1001, 8); }, true, RecoveryHeaderProblem::Sizes},
        {"L = 0", [](Bytes &b) { put(b, 72, 0, 8); }, true, RecoveryHeaderProblem::Sizes},
        {"L past int64", [](Bytes &b) { put(b, 72, ~0ull, 8); }, true, RecoveryHeaderProblem::Sizes},
        {"sizes wrapping round", [](Bytes &b) { put(b, 88, ~0ull - 999, 8); }, true, RecoveryHeaderProblem::Sizes},
        {"a file one byte long", [](Bytes &) {}, true, RecoveryHeaderProblem::FileSize, 152 + 1001},
        {"a file one byte short", [](Bytes &) {}, true, RecoveryHeaderProblem::FileSize, 152 + 999},
        {"a flipped size bit, unsigned", [](Bytes &b) { b[90] ^= 1; }, false, RecoveryHeaderProblem::Sizes},
        {"a flipped identity bit", [](Bytes &b) { b[20] ^= 1; }, false, RecoveryHeaderProblem::Digest},
        {"a flipped digest bit", [](Bytes &b) { b[150] ^= 1; }, false, RecoveryHeaderProblem::Digest},
        {"another set's", [](Bytes &b) { b[20] ^= 1; }, true, RecoveryHeaderProblem::Identity},
    };
    const auto identity = sampleHeader().layout.identity;
    for (const Row &row : rows) {
        Bytes bytes = lists::encodeRecoveryHeader(sampleHeader());
        row.change(bytes);
        if (row.resign)
            sign(bytes);
        const auto result = lists::decodeRecoveryHeader(bytes.data(), bytes.size(), row.fileSize, identity);
        EXPECT_EQ(result.reason, row.reason) << row.why << ": " << result.problem;
        EXPECT_EQ(result.problem.empty(), result.header.has_value()) << row.why;
        if (result.header)
            EXPECT_EQ(lists::encodeRecoveryHeader(*result.header), bytes) << row.why;
    }
    // Any prefix of a sound header is refused, never read past.
    const Bytes whole = lists::encodeRecoveryHeader(sampleHeader());
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(lists::decodeRecoveryHeader(prefix.data(), prefix.size(), 1152).header) << n;
    }
}

// A file's header is read in two steps: a part count too large for the file allocates nothing.
TEST(RecoveryHeader, ReadsFromAFile)
{
    testsupport::TempDir dir;
    Bytes bytes = lists::encodeRecoveryHeader(sampleHeader());
    bytes.resize(bytes.size() + 1000, 0x5A);
    testsupport::writeFile(dir.file("a.rec2"), bytes);
    put(bytes, 56, 1000000, 4);
    put(bytes, 12, 120 + 8000000, 4);
    testsupport::writeFile(dir.file("huge.rec1"), bytes);
    for (const auto &[name, reason] :
         {std::pair{"a.rec2", RecoveryHeaderProblem::None}, std::pair{"huge.rec1", RecoveryHeaderProblem::FileSize}}) {
        fileio::File file;
        ASSERT_EQ(fileio::openForReading(dir.file(name), file), 0);
        std::int64_t size = 0;
        ASSERT_EQ(file.size(size), 0);
        EXPECT_EQ(lists::readRecoveryHeader(file, size).reason, reason) << name;
        EXPECT_EQ(file.close(), 0);
    }
}

TEST(RecoveryLayout, DealsPartsIntoGroupsOf255Shards)
{
    const struct Row {
        std::int64_t parts;
        int perGroup;
        int groups;
    } rows[] = {
        {1, 1, 1},   {254, 1, 1},  {255, 1, 2},    {253, 2, 1},
        {254, 2, 2}, {1000, 2, 4}, {1000, 100, 7}, {1000000, 100, 6452},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(lists::recoveryGroupCount(row.parts, row.perGroup), row.groups) << row.parts << " " << row.perGroup;
        lists::RecoveryLayout layout;
        layout.partSizes.assign(static_cast<std::size_t>(row.parts), 1);
        layout.perGroup = row.perGroup;
        layout.groups = row.groups;
        std::int64_t total = 0;
        for (int g = 0; g < row.groups; ++g) {
            EXPECT_LE(layout.partsInGroup(g) + row.perGroup, lists::kMaxShardsPerGroup);
            EXPECT_GE(layout.partsInGroup(g), 1);
            total += layout.partsInGroup(g);
        }
        EXPECT_EQ(total, row.parts);
        EXPECT_EQ(layout.groupOf(row.parts - 1), (row.parts - 1) % row.groups);
    }
    EXPECT_EQ(lists::recoveryPartName("film.mkv", 1), "film.mkv.rec1");
    EXPECT_EQ(lists::recoveryPartName("film.mkv", 12), "film.mkv.rec12");
}

} // namespace
