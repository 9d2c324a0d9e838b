// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recovery_coder.h"
#include "recovery_header.h"

#include "digest/sha256.h"
#include "fileio/copy_progress.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lists {

// A set with recovery parts as a rebuild sees it: its data parts and its recovery parts, each
// with its line of the checksum list, and whether its bytes match it. A file is known by its
// number: the data parts first, in order, then the recovery parts.
class RecoverySet {
public:
    struct Member {
        std::string name; // as listed
        std::string path; // where it is read
        digest::Sha256Digest digest{};
        bool whole = false;
    };
    // Why a rebuild stopped: a file that could not be read (or changed), or a coding refused.
    struct Failure {
        int err = 0;
        std::string path;
        explicit operator bool() const { return err != 0; }
    };
    // Hears the rebuilt bytes of a file, in order; may throw to stop.
    using Sink = std::function<void(std::size_t file, const unsigned char *bytes, std::size_t n)>;

    RecoverySet(std::vector<Member> parts, std::vector<Member> recovery, const digest::Sha256Digest &identity);

    std::size_t partCount() const { return m_parts; }
    std::size_t fileCount() const { return m_members.size(); }
    const Member &member(std::size_t file) const { return m_members[file]; }
    void setWhole(std::size_t file, bool whole) { m_members[file].whole = whole; }

    // Hashes every file against its line: one that is missing or cannot be read is not whole.
    // False when `stop` asked to stop before the last file was hashed (the rest untold).
    bool survey(fileio::CopyProgress *stop = nullptr);
    // Takes the layout from a whole recovery part's header of this set or, when none is whole,
    // from the lines and the data parts (all of which must then be whole). False when there is
    // none to take.
    bool findLayout();
    const std::optional<RecoveryLayout> &layout() const { return m_layout; }
    // Every file that is not whole, and whether the files that are can rebuild each of them (no
    // group lacks more than it has recovery parts).
    std::vector<std::size_t> broken() const;
    bool rebuildable() const;
    // The group of a file, and the size it has when whole.
    int groupOf(std::size_t file) const;
    std::int64_t sizeOf(std::size_t file) const;

    // Rebuilds the files, all of one group, in stripes from as many of its whole files as it has
    // data parts, telling `sink` each file's bytes as they are made (a recovery part's header
    // first). Memory stays within a few tens of MiB however many and large the parts are.
    Failure rebuild(RecoveryCoder &coder, const std::vector<std::size_t> &files, const Sink &sink);

private:
    // The shard a file is in its group: a data part's column, or k_g + its row.
    int shardOf(std::size_t file) const;

    std::size_t m_parts;
    std::vector<Member> m_members;
    digest::Sha256Digest m_identity;
    std::optional<RecoveryLayout> m_layout;
};

// The set with recovery parts a checksum list describes on its own: the parts' lines, then the
// lines of the whole file's recovery parts (its name with ".rec1", ".rec2", ...), then the whole
// file's line, marked so. Names are taken from the list's folder (a name from the root as it
// stands). Returns 0 with nothing in `set` for a list without recovery parts, or the errno of a
// failed read.
[[nodiscard]] int readRecoverySet(const std::string &listPath, std::optional<RecoverySet> &set);

} // namespace lists
