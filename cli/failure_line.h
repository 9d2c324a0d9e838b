// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace fileio {
class Failure;
}

namespace cli {

// A file name as an error line shows it: as it stands when it holds only characters a shell takes
// as they are, else between single quotes ("'" as '\''), control bytes shown as "?" so that a name
// cannot send a terminal escape sequences.
std::string quotedName(const std::string &name);

// The line a failure ends in on standard error, without the program's name: "FILE: TEXT (REASON)",
// or the design's text with the file quoted in it where the text names it ("Cannot open file
// FILE (REASON)"); REASON is the failure's reason, left out when it has none.
std::string failureLine(const fileio::Failure &failure);

} // namespace cli
