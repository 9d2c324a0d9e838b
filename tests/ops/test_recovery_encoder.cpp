// SPDX-License-Identifier: GPL-3.0-or-later
// Cut's recovery parts hold what the coding says, worked out here byte by byte from GF(2^8)'s
// multiplication alone, for sets of one group and of several.
#include "fileio/fault.h"
#include "lists/checksum_list.h"
#include "lists/recovery_header.h"
#include "lists/set_names.h"
#include "ops/cut.h"
#include "ops/progress.h"

#include "support/outcome.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <isa-l/erasure_code.h>

#include <sstream>

using namespace testsupport;

namespace {

digest::Sha256Digest sha256(const Bytes &bytes)
{
    digest::Sha256 sha;
    sha.update(bytes.data(), bytes.size());
    return sha.finish();
}

// Recovery row r of group g: the sum of A[k_g + r][j] * part(g + j*G), A[i][j] = 1 / (i ^ j).
Bytes expectedRecovery(const std::vector<Bytes> &parts, int groups, int group, int row, std::size_t shard)
{
    Bytes coded(shard, 0);
    const auto columns = static_cast<int>((parts.size() - static_cast<std::size_t>(group) + groups - 1) / groups);
    for (int j = 0; j < columns; ++j) {
        const unsigned char factor = gf_inv(static_cast<unsigned char>((columns + row) ^ j));
        const Bytes &part = parts[static_cast<std::size_t>(group + j * groups)];
        for (std::size_t b = 0; b < part.size(); ++b)
            coded[b] ^= gf_mul(factor, part[b]);
    }
    return coded;
}

ops::CutRequest recoveryRequest(const std::string &source, int count, std::int64_t partBytes, int perGroup)
{
    ops::CutRequest request;
    request.source = source;
    request.mode.count = count;
    request.mode.partBytes = partBytes;
    request.writeDigests = true;
    request.recovery = perGroup;
    return request;
}

void cut(const ops::CutRequest &request)
{
    ops::NullProgress progress;
    ops::Cut(request, progress);
}

TEST(CutRecovery, RecoveryPartsHoldEachGroupsCode)
{
    const struct Row {
        const char *why;
        std::size_t size;
        std::int64_t partBytes; // 0: by count
        int count;
        int perGroup;
        int groups;
        bool mapped = true; // false: the system maps no window, and stripes are read and written back
    } rows[] = {
        {"the last part shorter", 10, 0, 3, 1, 1},
        {"stripes and blocks cross inside parts", (5 << 20) + 1, 0, 7, 3, 1},
        {"parts of whole blocks", (3 << 20) + 5, 1 << 20, 0, 2, 1},
        {"N at its limit", 5000, 0, 5, 100, 1},
        {"254 parts: one group for N = 1", 254 * 3, 3, 0, 1, 1},
        {"two groups, the second one part smaller", 255 * 3, 3, 0, 1, 2},
        {"three groups", 510 * 2 + 1, 2, 0, 2, 3},
        {"stripes", (5 << 20) + 1, 0, 7, 3, 1, false},
        {"stripes, two groups", 255 * 3, 3, 0, 1, 2, false},
    };
    for (const Row &row : rows) {
        TempDir dir;
        const Bytes data = patternBytes(row.size, 3);
        writeFile(dir.file("f.bin"), data);
        // The system maps no window: the stripes are written back.
        fileio::faults::ScopedFault noWindow(fileio::SysCall::Map, row.mapped ? 0 : 1, EINVAL);
        cut(recoveryRequest(dir.file("f.bin"), row.count, row.partBytes, row.perGroup));
        std::vector<Bytes> parts;
        for (std::size_t n = 1; exists(dir.file("f" + std::to_string(n) + ".bin")); ++n)
            parts.push_back(readFile(dir.file("f" + std::to_string(n) + ".bin")));
        const std::string list = readText(dir.file("info.sha256"));
        const int count = row.perGroup * row.groups;
        EXPECT_FALSE(exists(dir.file(lists::recoveryPartName("f.bin", count + 1)))) << row.why;
        for (int x = 0; x < count; ++x) {
            const std::string name = lists::recoveryPartName("f.bin", x + 1);
            const Bytes file = readFile(dir.file(name));
            const auto read = lists::decodeRecoveryHeader(file.data(), file.size(),
                                                          static_cast<std::int64_t>(file.size()), sha256(data));
            ASSERT_TRUE(read.header) << row.why << " " << name << ": " << read.problem;
            EXPECT_EQ(read.header->index, x);
            EXPECT_EQ(read.header->layout.groups, row.groups) << row.why;
            EXPECT_EQ(read.header->layout.partSizes.size(), parts.size()) << row.why;
            const Bytes coded(file.begin() + static_cast<std::ptrdiff_t>(read.header->headerSize()), file.end());
            EXPECT_TRUE(coded
                        == expectedRecovery(parts, row.groups, x / row.perGroup, x % row.perGroup,
                                            static_cast<std::size_t>(read.header->layout.shardLength())))
                << row.why << " " << name;
            // Its line comes after the parts' and before the whole file's.
            const std::size_t at = list.find(lists::checksumLine(sha256(file), name));
            EXPECT_TRUE(at > list.rfind(".bin\n", list.find(lists::kWholeFileComment)) && at < list.find("#"))
                << row.why;
        }
    }
}

// What recovery parts cannot be made of, refused before anything is written; a failure on the
// way leaves no file under its name.
TEST(CutRecovery, RefusalsAndFailuresLeaveNothing)
{
    TempDir dir;
    const std::string source = dir.file("f.bin");
    const struct Row {
        const char *why;
        std::function<void(ops::CutRequest &)> change;
        const char *text;
    } rows[] = {
        {"no digests", [](ops::CutRequest &r) { r.writeDigests = false; }, "Invalid file name"},
        {"a part left out", [](ops::CutRequest &r) { r.skip = ops::ParseSkipList("2"); }, "Invalid file name"},
        {"parts made again", [](ops::CutRequest &r) { r.skip = ops::ParseSkipList("2"), r.onlyListed = true; },
         "Invalid file name"},
        {"N over the limit", [](ops::CutRequest &r) { r.recovery = lists::kMaxRecoveryPerGroup + 1; },
         "Invalid file size"},
        {"N below 0", [](ops::CutRequest &r) { r.recovery = -1; }, "Invalid file size"},
        {"an empty source", [&](ops::CutRequest &r) { writeFile(source, Bytes{}), r.mode.partBytes = 5; },
         "Invalid file size"},
        {"a recovery part's write fails",
         [](ops::CutRequest &) { fileio::faults::arm(fileio::SysCall::Write, 4, ENOSPC); }, "Stream write error"},
        {"no memory for a window", [](ops::CutRequest &) { fileio::faults::arm(fileio::SysCall::Map, 1, ENOMEM); },
         "Stream write error"},
        {"the last read back, unmapped, fails",
         [](ops::CutRequest &) {
             fileio::faults::armFrom(fileio::SysCall::Map, 5, EINVAL); // past the four windows
             fileio::faults::arm(fileio::SysCall::Read, 5, EIO);
         },
         "Stream write error"},
    };
    for (const Row &row : rows) {
        writeFile(source, patternBytes(10));
        ops::CutRequest request = recoveryRequest(source, 3, 0, 2);
        row.change(request);
        fileio::faults::ScopedFault kernelCopyOff(fileio::SysCall::CopyRange, 1, EXDEV);
        EXPECT_EQ(outcomeOf([&] { cut(request); }).text, row.text) << row.why;
        fileio::faults::disarm();
        EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"f.bin"}) << row.why;
    }
}

} // namespace
