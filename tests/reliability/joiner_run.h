// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace reliability {

// What the joiner printed and how it ended.
struct JoinerRun {
    int status = -1;
    std::string printed;
};

// Runs the joiner in-process in `dir` (made the current directory for the run), `typed` as what
// the user types, its console on two files in `consoleDir`.
JoinerRun runJoinerIn(const std::string &dir, const std::string &typed, const std::string &consoleDir);

// The text of the joiner's I/O error report ("Disk full"), or "" when it printed none.
std::string joinerReportText(const std::string &printed);

} // namespace reliability
