// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/unite.h"

#include "digest/sha256.h"

#include <string>
#include <vector>

namespace cli {

// The checksum list beside a part list, as the check of `unite --list`: a line for each listed
// part, in list order, then the whole file's line. Each part is checked as it is copied, which
// proves the whole file when every part of it was made.
class ChecksumListCheck final : public ops::JoinCheck {
public:
    // Pairs the lists as the joiner does, before anything is created. Throws CommandFailure when
    // they cannot be read or do not pair.
    ChecksumListCheck(const std::string &digestListPath, const std::string &partListPath,
                      const std::string &outputName);

    // Throws CommandFailure naming the part whose digest differs.
    void input(std::size_t index, const digest::Sha256Digest &digest) override;
    // Throws CommandFailure when the joined file differs from the whole file's line: parts whole
    // one by one, but not the set's (both lists edited alike).
    void whole(const digest::Sha256Digest &digest) override;
    // Whether the list says its parts do not make the whole file, whose line then checks nothing.
    bool incompleteSet() const { return m_incomplete; }

private:
    std::string m_listPath;
    std::vector<std::string> m_names;
    std::vector<digest::Sha256Digest> m_digests;
    digest::Sha256Digest m_whole{};
    std::string m_outputName;
    bool m_incomplete = false;
};

} // namespace cli
