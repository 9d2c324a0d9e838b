// SPDX-License-Identifier: GPL-3.0-or-later
#include "list_digests.h"

#include "failure_line.h"
#include "run_operation.h"

#include "digest/checksum_list.h"
#include "fileio/file.h"
#include "fileio/io_error.h"
#include "recons_tool/digest_steps.h"
#include "recons_tool/joiner_failure.h"

#include <cstring>

namespace cli {

namespace {

fileio::File openList(const std::string &path)
{
    fileio::File file;
    if (const int err = fileio::openForReading(path, file))
        throw CommandFailure(quotedName(path) + ": " + std::strerror(err));
    return file;
}

} // namespace

ListDigests::ListDigests(const std::string &digestListPath, const std::string &partListPath,
                         const std::string &outputName)
    : m_listPath(digestListPath), m_outputName(outputName)
{
    fileio::File digests = openList(digestListPath);
    fileio::File parts = openList(partListPath);
    try {
        const recons_tool::Pairing pairing = recons_tool::pairLists(
            parts, digests, [this](const std::string &name, const digest::Sha256Digest &digest) {
                m_names.push_back(name);
                m_digests.push_back(digest);
            });
        if (!pairing.problem.empty())
            throw CommandFailure(pairing.problem);
        m_incomplete = pairing.incompleteSet;
    } catch (const recons_tool::JoinerFailure &failure) {
        throw CommandFailure(quotedName(digestListPath) + ": " + fileio::IoErrorReport(failure.error));
    }
}

void ListDigests::input(std::size_t index, const digest::Sha256Digest &digest)
{
    if (digest != m_digests.at(index))
        throw CommandFailure(quotedName(m_names.at(index)) + ": damaged, its SHA-256 differs from "
                             + quotedName(m_listPath) + "; " + quotedName(m_outputName) + " is not made");
}

} // namespace cli
