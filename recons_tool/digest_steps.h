// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/checksum_list.h"
#include "fileio/file.h"

#include <optional>
#include <string>

namespace recons_tool {

// "info.sha256" read in step with "info.txt": the line for each listed part in list order, then
// the line of the whole file. One line is held at a time. A failed read is a failed step.
class DigestSteps {
public:
    DigestSteps();

    // The digest of the next line when that line names this part; nothing otherwise.
    std::optional<digest::Sha256Digest> part(const std::string &name);
    // The digest of the next line when it is the list's last; nothing otherwise.
    std::optional<digest::Sha256Digest> whole();

private:
    bool next(digest::ChecksumEntry &entry);

    fileio::File m_file;
    std::optional<digest::ChecksumReader> m_reader;
};

} // namespace recons_tool
