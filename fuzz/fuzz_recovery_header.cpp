// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a recovery part: the first 8 the file's size (little-endian), the rest its first
// bytes. The reader ends with a reason or a header, from the bytes alone and from a file of them
// alike, and a header it accepts holds together (sizes adding up to the source, the largest the
// shard length, the file H + L long, the group count the coding's, the index within it) and is
// written back byte for byte as it was read.
#include "memory_file.h"

#include "lists/recovery_header.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string_view>

using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 8)
        return 0;
    std::uint64_t claimed = 0;
    for (int i = 7; i >= 0; --i)
        claimed = (claimed << 8) | data[i];
    const auto fileSize = static_cast<std::int64_t>(claimed & 0x7fffffffffffffffu);
    const std::uint8_t *bytes = data + 8;
    const std::size_t length = size - 8;

    const lists::RecoveryHeaderResult read = lists::decodeRecoveryHeader(bytes, length, fileSize);
    require(read.header.has_value() == read.problem.empty(), "a header with a problem, or none without");
    require(read.header.has_value() == (read.reason == lists::RecoveryHeaderProblem::None), "a reason out of step");

    static fuzz::MemoryFile part("film.mkv.rec1");
    fileio::File &file = part.fill(std::string_view(reinterpret_cast<const char *>(bytes), length));
    const lists::RecoveryHeaderResult fromFile = lists::readRecoveryHeader(file, fileSize);
    require(fromFile.reason == read.reason, "the file and the bytes read otherwise");
    if (!read.header)
        return 0;

    const lists::RecoveryHeader &header = *read.header;
    const lists::RecoveryLayout &layout = header.layout;
    const std::int64_t parts = static_cast<std::int64_t>(layout.partSizes.size());
    require(parts >= 1 && parts <= lists::kMaxRecoveryHeaderParts, "a part count out of range");
    require(std::accumulate(layout.partSizes.begin(), layout.partSizes.end(), std::int64_t{0}) == layout.sourceSize,
            "sizes that do not add up");
    require(*std::min_element(layout.partSizes.begin(), layout.partSizes.end()) >= 0, "a size below 0");
    require(header.headerSize() + layout.shardLength() == fileSize, "a file not H + L long");
    require(layout.groups == lists::recoveryGroupCount(parts, layout.perGroup), "a group count not the coding's");
    require(header.index >= 0 && header.index < layout.recoveryCount(), "an index beyond the recovery parts");
    for (int g = 0; g < layout.groups; ++g)
        require(layout.partsInGroup(g) + layout.perGroup <= lists::kMaxShardsPerGroup, "a group over 255 shards");
    const std::vector<unsigned char> again = lists::encodeRecoveryHeader(header);
    require(again.size() <= length && std::memcmp(again.data(), bytes, again.size()) == 0,
            "a header not written back as it was read");
    return 0;
}
