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

ListedSet::ListedSet(std::string partListPath, bool checked, RecoveryCoder *coder)
    : m_partListPath(std::move(partListPath)), m_folder(fileio::directoryPart(m_partListPath)), m_checked(checked),
      m_coder(coder)
{
    if (!m_coder) {
        m_ownCoder = std::make_unique<PortableCoder>();
        m_coder = m_ownCoder.get();
    }
    m_checksumListPath = m_folder + kChecksumListName;
}

std::string ListedSet::pathOf(const std::string &name) const
{
    return name.starts_with('/') ? name : m_folder + name;
}

SetProblem ListedSet::check(fileio::CopyProgress *stop)
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
    // A missing part stops the join, unless recovery parts of the checksum list rebuild it.
    const bool mayRebuild = m_checked && fileio::nameTaken(m_checksumListPath);
    if (problem && (!mayRebuild || m_parts < 2))
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
        return problem ? problem : SetProblem{SetProblem::Kind::ChecksumListUnreadable, err};
    insertId(m_files, fileio::fileId(checksums));
    fileio::File names;
    if (const int err = fileio::openForReading(m_partListPath, names))
        return {SetProblem::Kind::PartListUnreadable, err};
    const Pairing pairing = pairLists(names, checksums);
    if (!pairing.problem.empty())
        return problem ? problem : SetProblem{SetProblem::Kind::ListsDoNotPair, 0, 0, {}, pairing.problem};
    if (pairing.recovery.empty())
        return problem;
    // A set with recovery parts is hashed whole before the join: its parts' lines are read again
    // and held.
    std::vector<RecoverySet::Member> parts;
    fileio::File namesAgain;
    fileio::File checksumsAgain;
    if (const int err = fileio::openForReading(m_partListPath, namesAgain))
        return {SetProblem::Kind::PartListUnreadable, err};
    if (const int err = fileio::openForReading(m_checksumListPath, checksumsAgain))
        return {SetProblem::Kind::ChecksumListUnreadable, err};
    const Pairing again =
        pairLists(namesAgain, checksumsAgain, [&](const std::string &name, const digest::Sha256Digest &digest) {
            parts.push_back({name, pathOf(name), digest});
        });
    if (!again.problem.empty() || again.recovery.size() != pairing.recovery.size())
        return {SetProblem::Kind::ListsDoNotPair, 0, 0, {}, "info.sha256 changed while it was read"};
    std::vector<RecoverySet::Member> recovery;
    for (const ChecksumEntry &line : again.recovery) {
        recovery.push_back({line.name, pathOf(line.name), line.digest});
        insertId(m_files, fileio::fileId(recovery.back().path));
    }
    m_recovery.emplace(std::move(parts), std::move(recovery), again.whole);
    if (!m_recovery->survey(stop)) {
        m_recovery.reset();
        return problem;
    }
    if (!m_recovery->broken().empty() && !(m_recovery->findLayout() && m_recovery->rebuildable()))
        m_recovery.reset(); // the join meets the bad parts as it would without recovery parts
    return m_recovery ? SetProblem{} : problem;
}

RecoverySet::Failure ListedSet::rebuildPart(std::int64_t index, const Write &write)
{
    return m_recovery->rebuild(*m_coder, {static_cast<std::size_t>(index)},
                               [&](std::size_t, const unsigned char *bytes, std::size_t n) { write(bytes, n); });
}

std::int64_t ListedSet::rebuiltSize(std::int64_t index) const
{
    return m_recovery->sizeOf(static_cast<std::size_t>(index));
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
    const auto number = static_cast<std::size_t>(m_next++);
    part.rebuilt = m_recovery && !m_recovery->member(number).whole && m_recovery->member(number).name == part.name;
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
