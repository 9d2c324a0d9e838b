// SPDX-License-Identifier: GPL-3.0-or-later
#include "recovery_header.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lists {

namespace {

constexpr unsigned char kMagic[8] = {'S', 'K', 'R', 'V', 'R', 'E', 'C', 0};
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kCodingCauchyRs = 1; // Reed-Solomon over GF(2^8) mod 0x11D, Cauchy rows
constexpr std::size_t kSizesOffset = 88;
constexpr std::size_t kDigestBytes = 32;

void putLe(std::vector<unsigned char> &out, std::size_t at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint64_t getLe(const unsigned char *in, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | in[i];
    return value;
}

RecoveryHeaderResult refused(RecoveryHeaderProblem reason, const char *text)
{
    RecoveryHeaderResult result;
    result.reason = reason;
    result.problem = text;
    return result;
}

} // namespace

std::int64_t RecoveryLayout::shardLength() const
{
    return partSizes.empty() ? 0 : *std::max_element(partSizes.begin(), partSizes.end());
}

std::int64_t RecoveryLayout::partsInGroup(int group) const
{
    const auto parts = static_cast<std::int64_t>(partSizes.size());
    if (groups < 1 || group < 0 || group >= groups || group >= parts)
        return 0;
    return (parts - group + groups - 1) / groups;
}

int recoveryGroupCount(std::int64_t parts, int perGroup)
{
    if (parts < 1 || perGroup < 1 || perGroup >= kMaxShardsPerGroup)
        return 0;
    const std::int64_t room = kMaxShardsPerGroup - perGroup;
    return static_cast<int>((parts + room - 1) / room);
}

std::int64_t RecoveryHeader::headerSize() const
{
    return recoveryHeaderSize(static_cast<std::int64_t>(layout.partSizes.size()));
}

std::vector<unsigned char> encodeRecoveryHeader(const RecoveryHeader &header)
{
    const RecoveryLayout &layout = header.layout;
    const std::size_t parts = layout.partSizes.size();
    std::vector<unsigned char> out(static_cast<std::size_t>(header.headerSize()), 0);
    std::memcpy(out.data(), kMagic, sizeof kMagic);
    putLe(out, 8, kVersion, 4);
    putLe(out, 12, static_cast<std::uint64_t>(header.headerSize()), 4);
    std::memcpy(out.data() + 16, layout.identity.data(), layout.identity.size());
    putLe(out, 48, static_cast<std::uint64_t>(layout.sourceSize), 8);
    putLe(out, 56, parts, 4);
    putLe(out, 60, static_cast<std::uint64_t>(layout.perGroup), 4);
    putLe(out, 64, static_cast<std::uint64_t>(layout.groups), 4);
    putLe(out, 68, static_cast<std::uint64_t>(header.index), 4);
    putLe(out, 72, static_cast<std::uint64_t>(layout.shardLength()), 8);
    putLe(out, 80, kCodingCauchyRs, 4);
    for (std::size_t i = 0; i < parts; ++i)
        putLe(out, kSizesOffset + 8 * i, static_cast<std::uint64_t>(layout.partSizes[i]), 8);
    digest::Sha256 sha;
    sha.update(out.data(), out.size() - kDigestBytes);
    const digest::Sha256Digest own = sha.finish();
    std::memcpy(out.data() + out.size() - kDigestBytes, own.data(), own.size());
    return out;
}

RecoveryHeaderResult decodeRecoveryHeader(const unsigned char *bytes, std::size_t length, std::int64_t fileSize,
                                          const std::optional<digest::Sha256Digest> &identity)
{
    using P = RecoveryHeaderProblem;
    if (length < 8 || std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return refused(P::Magic, "not a recovery part");
    if (length < kRecoveryHeaderFixedSize)
        return refused(P::Short, "the recovery header is cut short");
    if (getLe(bytes + 8, 4) != kVersion)
        return refused(P::Version, "a recovery format this program does not read");
    const std::uint64_t parts = getLe(bytes + 56, 4);
    if (parts < 1 || parts > static_cast<std::uint64_t>(kMaxRecoveryHeaderParts))
        return refused(P::PartCount, "the recovery header's part count is out of range");
    const std::uint64_t headerSize = kRecoveryHeaderFixedSize + 8 * parts;
    if (getLe(bytes + 12, 4) != headerSize)
        return refused(P::HeaderSize, "the recovery header's size does not fit its part count");
    if (fileSize < 0 || static_cast<std::uint64_t>(fileSize) <= headerSize)
        return refused(P::FileSize, "the recovery part's size is not the one its header says");
    if (length < headerSize)
        return refused(P::Short, "the recovery header is cut short");
    if (getLe(bytes + 80, 4) != kCodingCauchyRs || getLe(bytes + 84, 4) != 0)
        return refused(P::Coding, "a recovery coding this program does not know");
    const std::uint64_t perGroup = getLe(bytes + 60, 4);
    if (perGroup < 1 || perGroup > static_cast<std::uint64_t>(kMaxRecoveryPerGroup))
        return refused(P::PerGroup, "the recovery parts per group are out of range");
    const int groups = recoveryGroupCount(static_cast<std::int64_t>(parts), static_cast<int>(perGroup));
    if (getLe(bytes + 64, 4) != static_cast<std::uint64_t>(groups))
        return refused(P::GroupCount, "the recovery header's group count does not fit its part count");
    const std::uint64_t index = getLe(bytes + 68, 4);
    if (index >= perGroup * static_cast<std::uint64_t>(groups))
        return refused(P::Index, "the recovery part's index is out of range");

    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const std::uint64_t sourceSize = getLe(bytes + 48, 8);
    const std::uint64_t shard = getLe(bytes + 72, 8);
    if (sourceSize > kMax || shard < 1 || shard > kMax - headerSize)
        return refused(P::Sizes, "the recovery header's sizes do not add up");
    RecoveryHeader header;
    header.layout.partSizes.reserve(parts);
    std::uint64_t sum = 0;
    std::uint64_t largest = 0;
    for (std::uint64_t i = 0; i < parts; ++i) {
        const std::uint64_t size = getLe(bytes + kSizesOffset + 8 * i, 8);
        if (size > shard || sum + size > sourceSize)
            return refused(P::Sizes, "the recovery header's sizes do not add up");
        sum += size;
        largest = std::max(largest, size);
        header.layout.partSizes.push_back(static_cast<std::int64_t>(size));
    }
    if (sum != sourceSize || largest != shard)
        return refused(P::Sizes, "the recovery header's sizes do not add up");
    if (fileSize < 0 || static_cast<std::uint64_t>(fileSize) != headerSize + shard)
        return refused(P::FileSize, "the recovery part's size is not the one its header says");

    digest::Sha256 sha;
    sha.update(bytes, headerSize - kDigestBytes);
    const digest::Sha256Digest own = sha.finish();
    if (std::memcmp(own.data(), bytes + headerSize - kDigestBytes, kDigestBytes) != 0)
        return refused(P::Digest, "the recovery header is damaged");
    std::memcpy(header.layout.identity.data(), bytes + 16, header.layout.identity.size());
    if (identity && *identity != header.layout.identity)
        return refused(P::Identity, "the recovery part is of another file");

    header.layout.sourceSize = static_cast<std::int64_t>(sourceSize);
    header.layout.perGroup = static_cast<int>(perGroup);
    header.layout.groups = groups;
    header.index = static_cast<int>(index);
    RecoveryHeaderResult result;
    result.header = std::move(header);
    return result;
}

RecoveryHeaderResult readRecoveryHeader(fileio::File &file, std::int64_t fileSize,
                                        const std::optional<digest::Sha256Digest> &identity)
{
    std::vector<unsigned char> bytes(kRecoveryHeaderFixedSize);
    std::size_t got = 0;
    if (const int err = file.readAt(bytes.data(), bytes.size(), 0, got); err != 0) {
        RecoveryHeaderResult result = refused(RecoveryHeaderProblem::Read, "the recovery part cannot be read");
        result.errorNumber = err;
        return result;
    }
    // Only the fixed part's checks: the sizes are read once the count they depend on is sane.
    RecoveryHeaderResult first = decodeRecoveryHeader(bytes.data(), got, fileSize, identity);
    if (first.reason != RecoveryHeaderProblem::Short || got < kRecoveryHeaderFixedSize)
        return first;
    const std::size_t headerSize = kRecoveryHeaderFixedSize + 8 * getLe(bytes.data() + 56, 4);
    bytes.resize(headerSize);
    std::size_t more = 0;
    if (const int err = file.readAt(bytes.data() + got, headerSize - got, static_cast<std::int64_t>(got), more);
        err != 0) {
        RecoveryHeaderResult result = refused(RecoveryHeaderProblem::Read, "the recovery part cannot be read");
        result.errorNumber = err;
        return result;
    }
    return decodeRecoveryHeader(bytes.data(), got + more, fileSize, identity);
}

} // namespace lists
