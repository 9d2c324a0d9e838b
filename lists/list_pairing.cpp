// SPDX-License-Identifier: GPL-3.0-or-later
#include "list_pairing.h"

#include "part_list_reader.h"

#include <algorithm>

namespace lists {

ChecksumSteps::ChecksumSteps(fileio::File &file) : m_reader(file) {}

bool ChecksumSteps::next(ChecksumEntry &entry)
{
    ChecksumReader::Line kind{};
    if (const int err = m_reader.next(kind, entry))
        throw ListReadError{err};
    return kind == ChecksumReader::Line::Entry;
}

std::optional<digest::Sha256Digest> ChecksumSteps::part(const std::string &name)
{
    ChecksumEntry entry;
    if (!next(entry) || entry.name != name)
        return std::nullopt;
    return entry.digest;
}

std::optional<digest::Sha256Digest> ChecksumSteps::whole()
{
    ChecksumEntry entry;
    if (!next(entry))
        return std::nullopt;
    ChecksumEntry more;
    ChecksumReader::Line kind{};
    if (const int err = m_reader.next(kind, more))
        throw ListReadError{err};
    if (kind != ChecksumReader::Line::End)
        return std::nullopt;
    return entry.digest;
}

Pairing pairLists(fileio::File &partList, fileio::File &checksumList,
                  const std::function<void(const std::string &, const digest::Sha256Digest &)> &paired)
{
    PartListReader names(partList);
    ChecksumSteps digests(checksumList);
    while (!names.atEnd()) {
        const std::string part = names.readLine();
        const std::optional<digest::Sha256Digest> digest = digests.part(part);
        if (!digest)
            return {printable(part) + " is not in info.sha256"};
        if (paired)
            paired(part, *digest);
    }
    if (!digests.whole())
        return {"info.sha256 does not end with the whole file's line after the parts"};
    return {{}, digests.incompleteSet()};
}

std::string printable(std::string name)
{
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; };
    std::replace_if(name.begin(), name.end(), control, '?');
    return name;
}

} // namespace lists
