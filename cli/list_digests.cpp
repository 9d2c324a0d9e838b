// SPDX-License-Identifier: GPL-3.0-or-later
#include "list_digests.h"

#include "run_operation.h"

#include "fileio/file.h"

#include <cstring>

namespace cli {

namespace {

std::vector<digest::ChecksumEntry> readEntries(const std::string &path)
{
    fileio::File file;
    if (const int err = fileio::openForReading(path, file))
        throw CommandFailure(path + ": " + std::strerror(err));
    digest::ChecksumReader reader(file);
    std::vector<digest::ChecksumEntry> entries;
    for (;;) {
        digest::ChecksumReader::Line kind{};
        digest::ChecksumEntry entry;
        if (const int err = reader.next(kind, entry))
            throw CommandFailure(path + ": " + std::strerror(err));
        if (kind == digest::ChecksumReader::Line::End)
            return entries;
        if (kind == digest::ChecksumReader::Line::Malformed)
            throw CommandFailure(path + ": entry " + std::to_string(entries.size() + 1) + " is not a SHA-256 line");
        entries.push_back(std::move(entry));
    }
}

} // namespace

ListDigests::ListDigests(const std::string &digestListPath, const std::vector<std::string> &parts,
                         const std::string &outputName)
    : m_listPath(digestListPath), m_parts(readEntries(digestListPath)), m_outputName(outputName)
{
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string name = fileio::namePart(parts[i]);
        if (i >= m_parts.size() || m_parts[i].name != name)
            throw CommandFailure(name + ": not in " + m_listPath);
    }
    // Then exactly one line more: the whole file's.
    if (m_parts.size() != parts.size() + 1)
        throw CommandFailure(m_listPath + ": does not end with the whole file's line after the parts");
    m_whole = m_parts.back().digest;
    m_parts.pop_back();
}

void ListDigests::input(std::size_t index, const digest::Sha256Digest &digest)
{
    const digest::ChecksumEntry &part = m_parts.at(index);
    if (digest != part.digest)
        throw CommandFailure(part.name + ": damaged, its SHA-256 differs from " + m_listPath + "; " + m_outputName
                             + " is removed");
}

void ListDigests::output(const digest::Sha256Digest &digest)
{
    if (digest != m_whole)
        throw CommandFailure(m_outputName + ": its SHA-256 differs from the whole file's in " + m_listPath
                             + "; it is removed");
}

} // namespace cli
