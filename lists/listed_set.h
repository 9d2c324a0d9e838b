// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "list_pairing.h"
#include "part_list_reader.h"
#include "recovery_coder.h"
#include "recovery_set.h"

#include "digest/sha256.h"
#include "fileio/file.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lists {

// What stops a join by list before anything is made; each program says it in its own words.
struct SetProblem {
    enum class Kind {
        None,
        NoPartList,             // nothing to read under the list's name (err: ENOENT, kNotRegularFile)
        PartListUnreadable,     // err
        PartMissing,            // line, name: the first listed name that is no file
        TooFewParts,            // a join needs two parts or more
        ChecksumListUnreadable, // err: there is one, and it cannot be read
        ListsDoNotPair,         // text
    };
    Kind kind = Kind::None;
    int err = 0;
    std::int64_t line = 0;
    std::string name;
    std::string text;

    explicit operator bool() const { return kind != Kind::None; }
};

// A set as a join by its part list reads it, for the joiners and `unite --list` alike: the names
// the part list gives, relative to its folder (a name from the root as it stands), each an
// existing file, at least two; and, where the checksum list stands beside it, a line for each
// part in the same order and then the whole file's. It reads the lists twice, a check and then
// the parts one by one, and holds one line of each at a time however long they are.
//
// Where the checksum list also has lines for the whole file's recovery parts (between the parts'
// and its own), the check holds every part's line and hashes every part and recovery part first
// (the set is read twice), and a part that is missing
// or fails its line is no longer a stop when the whole files can rebuild it: the join takes its
// bytes from rebuildPart(), checked against its line as any part's.
class ListedSet {
public:
    struct Part {
        std::string name; // as listed
        std::string path; // where it is read
        // Its line of the checksum list, when the set is checked; nothing when the next line does
        // not name it (the list changed since the check).
        std::optional<digest::Sha256Digest> digest;
        // Its bytes come from rebuildPart(), not from its file, which is missing or damaged.
        bool rebuilt = false;
    };

    // `checked`: the checksum list beside the part list is read when anything bears its name.
    // `coder` rebuilds parts (the portable one when none is given); it must outlive the set.
    explicit ListedSet(std::string partListPath, bool checked = true, RecoveryCoder *coder = nullptr);

    // The first reading: what stops the join, or nothing. A list that cannot be read midway
    // throws ListReadError. Where the parts are hashed first, `stop` may end that early: the
    // caller who asked for the stop then looks at it before anything else.
    SetProblem check(fileio::CopyProgress *stop = nullptr);

    std::int64_t partCount() const { return m_parts; }
    bool checked() const { return m_checked; }
    // The lists and every part: the output may be none of them.
    const fileio::FileIds &files() const { return m_files; }
    const std::string &checksumListPath() const { return m_checksumListPath; }

    // The second reading: opens the lists again (0 or the errno), then gives the parts in order.
    [[nodiscard]] int begin();
    Part next();
    // After the last part, for a checked set: the whole file's line, unless the list says not every
    // part was made (then nothing, and incompleteSet()). Nothing also when the line is not there.
    std::optional<digest::Sha256Digest> whole();
    bool incompleteSet() const { return m_incomplete; }

    // The bytes of part `index` (0-based; one next() gave as rebuilt), handed to `write` in
    // order; the failure to read a whole file it is rebuilt from, if one fails.
    using Write = std::function<void(const unsigned char *bytes, std::size_t n)>;
    RecoverySet::Failure rebuildPart(std::int64_t index, const Write &write);
    // The size that part has.
    std::int64_t rebuiltSize(std::int64_t index) const;

private:
    std::string pathOf(const std::string &name) const;

    std::string m_partListPath;
    std::string m_checksumListPath;
    std::string m_folder;
    bool m_checked;
    std::int64_t m_parts = 0;
    bool m_incomplete = false;
    fileio::FileIds m_files;
    fileio::File m_partList;
    fileio::File m_checksumList;
    std::optional<PartListReader> m_names;
    std::optional<ChecksumSteps> m_digests;
    RecoveryCoder *m_coder;
    std::unique_ptr<PortableCoder> m_ownCoder;
    std::optional<RecoverySet> m_recovery; // when the checksum list has recovery parts' lines
    std::int64_t m_next = 0;               // parts given by next()
};

} // namespace lists
