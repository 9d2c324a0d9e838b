// SPDX-License-Identifier: GPL-3.0-or-later
#include "listed_set.h"

#include "set_names.h"

#include <cerrno>

namespace lists {

namespace {

void insertId(fileio::FileIds &ids, const std::optional<fileio::FileId> &id)
{
    if (id)
        ids.insert(*id);
}

} // namespace

ListedSet::ListedSet(std::string partListPath, bool checked)
    : m_partListPath(std::move(partListPath)), m_folder(fileio::directoryPart(m_partListPath)), m_checked(checked)
{
    m_checksumListPath = m_folder + kChecksumListName;
}

std::string ListedSet::pathOf(const std::string &name) const
{
    return name.starts_with('/') ? name : m_folder + name;
}

SetProblem ListedSet::check()
{
    if (!fileio::fileExists(m_partListPath))
        return {SetProblem::Kind::NoPartList, fileio::nameTaken(m_partListPath) ? fileio::kNotRegularFile : ENOENT};
    fileio::File list;
    if (const int err = fileio::openForReading(m_partListPath, list))
        return {SetProblem::Kind::PartListUnreadable, err};
    insertId(m_files, fileio::fileId(list));
    // Every line is read and counted, also after one has failed.
    SetProblem problem;
    PartListReader reader(list);
    while (!reader.atEnd()) {
        const std::string name = reader.readLine();
        ++m_parts;
        const std::string path = pathOf(name);
        if (fileio::fileExists(path))
            insertId(m_files, fileio::fileId(path));
        else if (!problem)
            problem = {SetProblem::Kind::PartMissing, 0, m_parts, name};
    }
    if (problem)
        return problem;
    if (m_parts < 2)
        return {SetProblem::Kind::TooFewParts};

    insertId(m_files, fileio::fileId(m_checksumListPath));
    // One there but unreadable (a folder, a dangling link) stops the join: it never turns the
    // check off.
    m_checked = m_checked && fileio::nameTaken(m_checksumListPath);
    if (!m_checked)
        return {};
    fileio::File checksums;
    if (const int err = fileio::openForReading(m_checksumListPath, checksums))
        return {SetProblem::Kind::ChecksumListUnreadable, err};
    insertId(m_files, fileio::fileId(checksums));
    fileio::File names;
    if (const int err = fileio::openForReading(m_partListPath, names))
        return {SetProblem::Kind::PartListUnreadable, err};
    const Pairing pairing = pairLists(names, checksums);
    if (!pairing.problem.empty())
        return {SetProblem::Kind::ListsDoNotPair, 0, 0, {}, pairing.problem};
    return {};
}

int ListedSet::begin()
{
    if (const int err = fileio::openForReading(m_partListPath, m_partList))
        return err;
    m_names.emplace(m_partList);
    if (m_checked) {
        if (const int err = fileio::openForReading(m_checksumListPath, m_checksumList))
            return err;
        m_digests.emplace(m_checksumList);
    }
    return 0;
}

ListedSet::Part ListedSet::next()
{
    Part part;
    part.name = m_names->readLine();
    part.path = pathOf(part.name);
    if (m_digests)
        part.digest = m_digests->part(part.name);
    return part;
}

std::optional<digest::Sha256Digest> ListedSet::whole()
{
    if (!m_digests)
        return std::nullopt;
    const std::optional<digest::Sha256Digest> line = m_digests->whole();
    m_incomplete = m_digests->incompleteSet();
    return m_incomplete ? std::nullopt : line;
}

} // namespace lists
