// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lists/checksum_list.h"
#include "fileio/file.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lists {

// "info.sha256" read in step with "info.txt": the line for each listed part in list order, then
// those of the whole file's recovery parts, if any, then the line of the whole file. One line of
// a part is held at a time. A failed read throws ListReadError.
class ChecksumSteps {
public:
    explicit ChecksumSteps(fileio::File &file);

    // The digest of the next line when that line names this part; nothing otherwise, and then
    // `found` holds the name the next line gives ("" at the end of the list).
    std::optional<digest::Sha256Digest> part(const std::string &name, std::string *found = nullptr);
    // The digest of the list's last line when every line between the parts' and it names one of
    // its recovery parts, in order (recoveryLines() then holds them); nothing otherwise.
    std::optional<digest::Sha256Digest> whole();
    const std::vector<ChecksumEntry> &recoveryLines() const { return m_recovery; }
    // Whether the list says that its parts do not join into the file of its last line.
    bool incompleteSet() const { return m_reader.incompleteSet(); }

private:
    bool next(ChecksumEntry &entry);

    ChecksumReader m_reader;
    std::int64_t m_parts = 0; // lines asked for by part()
    std::vector<ChecksumEntry> m_recovery;
};

// How the two lists of a set pair: the first problem, naming the part (shown as fileio::printableName()), or
// "" when they pair; and whether the checksum list says its parts do not make the whole file.
struct Pairing {
    std::string problem;
    bool incompleteSet = false;
    // The whole file's line, which a join checks its output against unless incompleteSet.
    digest::Sha256Digest whole{};
    // The lines of the whole file's recovery parts, between the parts' and its own.
    std::vector<ChecksumEntry> recovery;
};

// Pairs the two lists before anything is created: "info.sha256" must hold a line for every part
// "info.txt" names, in its order, and then the whole file's line. `paired` hears each part's name
// and digest in order. A failed read throws ListReadError.
Pairing pairLists(fileio::File &partList, fileio::File &checksumList,
                  const std::function<void(const std::string &, const digest::Sha256Digest &)> &paired = {});

} // namespace lists
