// SPDX-License-Identifier: GPL-3.0-or-later
#include "digest_steps.h"

#include "joiner_failure.h"

namespace recons_tool {

DigestSteps::DigestSteps()
{
    if (const int err = fileio::openForReading(digest::kChecksumListName, m_file))
        failStep(err);
    m_reader.emplace(m_file);
}

bool DigestSteps::next(digest::ChecksumEntry &entry)
{
    digest::ChecksumReader::Line kind{};
    if (const int err = m_reader->next(kind, entry))
        failStep(err);
    return kind == digest::ChecksumReader::Line::Entry;
}

std::optional<digest::Sha256Digest> DigestSteps::part(const std::string &name)
{
    digest::ChecksumEntry entry;
    if (!next(entry) || entry.name != name)
        return std::nullopt;
    return entry.digest;
}

std::optional<digest::Sha256Digest> DigestSteps::whole()
{
    digest::ChecksumEntry entry;
    if (!next(entry))
        return std::nullopt;
    digest::ChecksumEntry more;
    digest::ChecksumReader::Line kind{};
    if (const int err = m_reader->next(kind, more))
        failStep(err);
    if (kind != digest::ChecksumReader::Line::End)
        return std::nullopt;
    return entry.digest;
}

} // namespace recons_tool
