// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/file.h"

#include <string>
#include <vector>

namespace cli {

// The parts a part list (info.txt) names, read by the joiner's rules: a line ends at CR (an LF
// right after it belongs to the line end), Ctrl-Z or the end of the file ends the list, every
// listed name must be an existing file and there must be at least two. Relative names are taken
// from the list's folder.
struct ListedParts {
    std::vector<std::string> paths;
    // The list and every part: the output may be none of them.
    fileio::FileIds files;

    bool includes(const std::string &path) const;
};

// Throws CommandFailure when the list cannot be read or breaks a rule.
ListedParts readListedParts(const std::string &listPath);

} // namespace cli
