#include "digest_steps.h"

#include "joiner_failure.h"

namespace recons_tool {

DigestSteps::DigestSteps()
{
    if (const int err = ops::openForReading(ops::kChecksumListName, m_file))
        failStep(err);
    m_reader.emplace(m_file);
}

bool DigestSteps::next(ops::ChecksumEntry &entry)
{
    ops::ChecksumReader::Line kind{};
    if (const int err = m_reader->next(kind, entry))
        failStep(err);
    return kind == ops::ChecksumReader::Line::Entry;
}

std::optional<ops::Sha256Digest> DigestSteps::part(const std::string &name)
{
    ops::ChecksumEntry entry;
    if (!next(entry) || entry.name != name)
        return std::nullopt;
    return entry.digest;
}

std::optional<ops::Sha256Digest> DigestSteps::whole()
{
    ops::ChecksumEntry entry;
    if (!next(entry))
        return std::nullopt;
    ops::ChecksumEntry more;
    ops::ChecksumReader::Line kind{};
    if (const int err = m_reader->next(kind, more))
        failStep(err);
    if (kind != ops::ChecksumReader::Line::End)
        return std::nullopt;
    return entry.digest;
}

} // namespace recons_tool
