// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/block_hashers.h"
#include "digest/sha256.h"
#include "fileio/atomic_output.h"
#include "fileio/copy_progress.h"
#include "lists/recovery_header.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ops {

// Writes a set's recovery parts while its parts are copied, so the source's bytes are read once:
// it takes every block of the part under way (a BlockObserver beside the hashers) and adds it,
// times its coefficient, into the part's group's recovery parts at the block's offset. Each
// recovery part is a temporary H + L bytes long from the start, updated in place through a window
// of it mapped at a time (or, where the system maps none, a stripe read, updated and written back),
// so what it holds in memory is a few windows whatever the set's size.
// The headers come last, once the whole source's digest (the set's identity) is known. Coding by
// ISA-L: Reed-Solomon over GF(2^8), the Cauchy rows of gf_gen_cauchy1_matrix (doc/recovery-format.md).
class RecoveryEncoder final : public digest::BlockObserver {
public:
    // The layout's identity is not needed yet.
    explicit RecoveryEncoder(lists::RecoveryLayout layout);
    ~RecoveryEncoder() override;
    RecoveryEncoder(const RecoveryEncoder &) = delete;
    RecoveryEncoder &operator=(const RecoveryEncoder &) = delete;

    // Starts recovery part x under paths[x], each as AtomicOutput::open does (refusing the files
    // of `keep`) and adds them to `keep`. Returns 0, or the error and the path in `failed`.
    [[nodiscard]] int open(const std::vector<std::string> &paths, fileio::FileIds &keep,
                           fileio::AtomicOutput::Existing existing, std::string &failed);
    // The blocks taken from now on are part `part` (0-based), from its first byte, in order.
    // Called only while no block is being taken.
    void beginPart(std::int64_t part);
    void take(const void *data, std::size_t n) override;
    // The first failure of take(): its error number and the recovery part's path; 0 for none.
    int failure(std::string &failed) const;

    // What finish() returns when `stop` asked it to stop.
    static constexpr int kStopped = -100;
    // Once every part has been taken: writes each header with the set's identity and reads each
    // recovery part back for its digest. Returns 0, or the error and the path in `failed`.
    [[nodiscard]] int finish(const digest::Sha256Digest &identity, std::string &failed,
                             const fileio::CopyProgress *stop = nullptr);
    // The recovery parts, whole, in order, and their digests, for the batch and the checksum list.
    std::vector<fileio::AtomicOutput> &outputs() { return m_outputs; }
    const std::vector<digest::Sha256Digest> &digests() const { return m_digests; }

private:
    lists::RecoveryLayout m_layout;
    std::int64_t m_headerSize;
    std::vector<fileio::AtomicOutput> m_outputs;
    std::vector<digest::Sha256Digest> m_digests;
    // ISA-L's expanded tables of the coding rows, one set for each group size there is (at most
    // two: the groups differ by a part at most).
    std::vector<unsigned char> m_tables[2];
    std::int64_t m_largerGroup = 0;
    std::vector<std::vector<unsigned char>> m_stripes; // one per recovery row, where none is mapped
    std::vector<fileio::MappedRange> m_windows;        // the group's recovery parts, one per row
    std::size_t m_window = 0;
    bool m_mapping = true; // false once the system has mapped none

    // Where the bytes of row r at..at + length - 1 are to be updated: its window, or its stripe
    // read in; nullptr after a failure.
    unsigned char *destination(int row, std::int64_t at, std::size_t length, bool &mapped);
    // Writes recovery part x's header and reads it back for its digest; 0 or the error.
    int finishOne(std::size_t x, lists::RecoveryHeader header, unsigned char *block, const fileio::CopyProgress *stop);
    // The part under way.
    int m_group = 0;
    int m_column = 0;
    std::int64_t m_offset = 0;
    int m_err = 0;
    std::string m_failed;
};

} // namespace ops
