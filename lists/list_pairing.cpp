// SPDX-License-Identifier: GPL-3.0-or-later
#include "list_pairing.h"

#include "part_list_reader.h"
#include "recovery_header.h"
#include "set_names.h"

#include "fileio/printable_name.h"

#include <algorithm>

namespace lists {

namespace {

// What a line of the checksum list that does not name the part the part list has next says.
std::string mismatch(const std::string &part, const std::string &found, const std::string &previous)
{
    if (found.empty())
        return fileio::printableName(part) + " is not in info.sha256";
    if (found == previous)
        return "info.sha256 lists " + fileio::printableName(found) + " twice";
    return "info.sha256 lists " + fileio::printableName(found) + " where info.txt lists " + fileio::printableName(part);
}

} // namespace

ChecksumSteps::ChecksumSteps(fileio::File &file) : m_reader(file) {}

bool ChecksumSteps::next(ChecksumEntry &entry)
{
    ChecksumReader::Line kind{};
    if (const int err = m_reader.next(kind, entry))
        throw ListReadError{err};
    return kind == ChecksumReader::Line::Entry;
}

std::optional<digest::Sha256Digest> ChecksumSteps::part(const std::string &name, std::string *found)
{
    ++m_parts;
    ChecksumEntry entry;
    const bool read = next(entry);
    if (read && entry.name == name && !entry.wholeFile)
        return entry.digest;
    // The whole file's line, where it is marked so, ends the parts' lines.
    if (found)
        *found = read && !entry.wholeFile ? entry.name : std::string();
    return std::nullopt;
}

std::optional<digest::Sha256Digest> ChecksumSteps::whole()
{
    m_recovery.clear();
    ChecksumEntry entry;
    if (!next(entry))
        return std::nullopt;
    for (;;) {
        ChecksumEntry more;
        ChecksumReader::Line kind{};
        if (const int err = m_reader.next(kind, more))
            throw ListReadError{err};
        if (kind == ChecksumReader::Line::End)
            break;
        // More lines than the parts can have recovery parts are not theirs, and are not held.
        if (kind != ChecksumReader::Line::Entry
            || static_cast<int>(m_recovery.size())
                >= kMaxRecoveryPerGroup * recoveryGroupCount(m_parts, kMaxRecoveryPerGroup))
            return std::nullopt;
        m_recovery.push_back(std::move(entry));
        entry = std::move(more);
    }
    for (std::size_t i = 0; i < m_recovery.size(); ++i)
        if (m_recovery[i].wholeFile || m_recovery[i].name != recoveryPartName(entry.name, static_cast<int>(i + 1)))
            return std::nullopt;
    return entry.digest;
}

Pairing pairLists(fileio::File &partList, fileio::File &checksumList,
                  const std::function<void(const std::string &, const digest::Sha256Digest &)> &paired)
{
    PartListReader names(partList);
    ChecksumSteps digests(checksumList);
    std::string previous;
    while (!names.atEnd()) {
        const std::string part = names.readLine();
        std::string found;
        const std::optional<digest::Sha256Digest> digest = digests.part(part, &found);
        if (!digest)
            return {mismatch(part, found, previous)};
        if (paired)
            paired(part, *digest);
        previous = part;
    }
    const std::optional<digest::Sha256Digest> whole = digests.whole();
    if (!whole)
        return {"info.sha256 does not end with the whole file's line after the parts"};
    return {{}, digests.incompleteSet(), *whole, digests.recoveryLines()};
}

} // namespace lists
