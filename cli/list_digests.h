// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/unite.h"

#include "digest/checksum_list.h"

#include <string>
#include <vector>

namespace cli {

// The checksum list beside a part list, as the check of `unite --list`: a line for each listed
// part, in list order, then the whole file's line.
class ListDigests final : public ops::JoinCheck {
public:
    // Reads the list and matches it to the parts (full paths, in list order) before anything is
    // created. Throws CommandFailure when it cannot be read, lacks a part or names another.
    ListDigests(const std::string &digestListPath, const std::vector<std::string> &parts,
                const std::string &outputName);

    // Throw CommandFailure naming the part, or the output, whose digest differs.
    void input(std::size_t index, const digest::Sha256Digest &digest) override;
    void output(const digest::Sha256Digest &digest) override;

private:
    std::string m_listPath;
    std::vector<digest::ChecksumEntry> m_parts;
    digest::Sha256Digest m_whole{};
    std::string m_outputName;
};

} // namespace cli
