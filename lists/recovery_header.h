// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/sha256.h"

#include "fileio/file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The header every recovery part begins with (doc/recovery-format.md): what the set is (the whole
// source's SHA-256, its size, each part's size), how it is coded (Reed-Solomon over GF(2^8), the
// parts dealt into interleaved groups) and which recovery part this is; then its own SHA-256. A
// repair needs nothing of the set but this and the parts' lines in the checksum list.
namespace lists {

// GF(2^8) codes at most 255 shards together: a group's parts and its recovery parts.
constexpr int kMaxShardsPerGroup = 255;
// The recovery parts per group Cut writes at most; the format would take up to 254.
constexpr int kMaxRecoveryPerGroup = 100;
// The parts a header may describe at most: its size is 120 + 8 bytes a part.
constexpr std::int64_t kMaxRecoveryHeaderParts = 1000000;
// The bytes of a header that say how long it is.
constexpr std::size_t kRecoveryHeaderFixedSize = 120;

// H: the header's size for a set of `parts` parts.
constexpr std::int64_t recoveryHeaderSize(std::int64_t parts)
{
    return static_cast<std::int64_t>(kRecoveryHeaderFixedSize) + 8 * parts;
}

// What every recovery part of one set shares. Part i (0-based) is in group i % G at column i / G;
// each group has N recovery parts of its own, the recovery part x (0-based) in group x / N at row
// x % N.
struct RecoveryLayout {
    digest::Sha256Digest identity{}; // the whole source's SHA-256
    std::int64_t sourceSize = 0;
    std::vector<std::int64_t> partSizes; // k entries
    int perGroup = 0;                    // N
    int groups = 0;                      // G

    // L: every part is zero-padded to the largest one's size.
    std::int64_t shardLength() const;
    int recoveryCount() const { return perGroup * groups; }
    int groupOf(std::int64_t part) const { return static_cast<int>(part % groups); }
    int columnOf(std::int64_t part) const { return static_cast<int>(part / groups); }
    // k_g: the parts of group g.
    std::int64_t partsInGroup(int group) const;
};

// G = ceil(k / (255 - N)), so that each group's parts and recovery parts fit in 255 shards.
int recoveryGroupCount(std::int64_t parts, int perGroup);

struct RecoveryHeader {
    RecoveryLayout layout;
    int index = 0; // x, 0 .. N*G-1
    // H = 120 + 8k.
    std::int64_t headerSize() const;
};

// The header's bytes, its digest included.
std::vector<unsigned char> encodeRecoveryHeader(const RecoveryHeader &header);

// Why a header is refused.
enum class RecoveryHeaderProblem {
    None,
    Short,      // fewer bytes than the header says it has
    Magic,      // not a recovery part
    Version,    // a format this program does not read
    HeaderSize, // H is not 120 + 8k
    PartCount,  // k < 1 or over kMaxRecoveryHeaderParts
    Coding,     // not the coding this program knows, or reserved bytes not 0
    PerGroup,   // N < 1 or over kMaxRecoveryPerGroup
    GroupCount, // G is not ceil(k / (255 - N))
    Index,      // x >= N*G
    Sizes,      // a size below 0, sizes not adding up to the source, the largest not L
    FileSize,   // the file is not H + L bytes long
    Digest,     // the header's SHA-256 does not match it
    Identity,   // the header is of another set
    Read,       // the file could not be read (see errorNumber)
};

struct RecoveryHeaderResult {
    std::optional<RecoveryHeader> header;
    std::string problem; // empty when the header is sound
    RecoveryHeaderProblem reason = RecoveryHeaderProblem::None;
    int errorNumber = 0; // of a failed read
};

// Reads and checks the header at the start of `bytes` (which may hold more, the coded data);
// `fileSize` is the whole file's size, `identity` when given the set's whole-file digest.
RecoveryHeaderResult decodeRecoveryHeader(const unsigned char *bytes, std::size_t length, std::int64_t fileSize,
                                          const std::optional<digest::Sha256Digest> &identity = std::nullopt);
// The same from the start of an open file: it reads the fixed 120 bytes first, and the part sizes
// only once the part count in them is sane.
RecoveryHeaderResult readRecoveryHeader(fileio::File &file, std::int64_t fileSize,
                                        const std::optional<digest::Sha256Digest> &identity = std::nullopt);

} // namespace lists
