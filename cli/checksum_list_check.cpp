// SPDX-License-Identifier: GPL-3.0-or-later
#include "checksum_list_check.h"

#include "failure_line.h"
#include "run_operation.h"

#include "lists/checksum_list.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/io_error.h"
#include "lists/list_pairing.h"
#include "lists/part_list_reader.h"

#include <cstring>

namespace cli {

namespace {

fileio::File openList(const std::string &path)
{
    fileio::File file;
    if (const int err = fileio::openForReading(path, file))
        throw CommandFailure(quotedName(path) + ": " + fileio::errorText(err));
    return file;
}

} // namespace

ChecksumListCheck::ChecksumListCheck(const std::string &digestListPath, const std::string &partListPath,
                                     const std::string &outputName)
    : m_listPath(digestListPath), m_outputName(outputName)
{
    fileio::File digests = openList(digestListPath);
    fileio::File parts = openList(partListPath);
    try {
        const lists::Pairing pairing =
            lists::pairLists(parts, digests, [this](const std::string &name, const digest::Sha256Digest &digest) {
                m_names.push_back(name);
                m_digests.push_back(digest);
            });
        if (!pairing.problem.empty())
            throw CommandFailure(pairing.problem);
        m_incomplete = pairing.incompleteSet;
        m_whole = pairing.whole;
    } catch (const lists::ListReadError &failure) {
        throw CommandFailure(quotedName(digestListPath) + ": " + fileio::errorText(failure.err));
    }
}

void ChecksumListCheck::input(std::size_t index, const digest::Sha256Digest &digest)
{
    if (digest != m_digests.at(index))
        throw CommandFailure(quotedName(m_names.at(index)) + ": damaged, its SHA-256 differs from "
                             + quotedName(m_listPath) + "; " + quotedName(m_outputName) + " is not made");
}

void ChecksumListCheck::whole(const digest::Sha256Digest &digest)
{
    if (!m_incomplete && digest != m_whole)
        throw CommandFailure("the joined file's SHA-256 differs from the whole file's line of " + quotedName(m_listPath)
                             + "; " + quotedName(m_outputName) + " is not made");
}

} // namespace cli
