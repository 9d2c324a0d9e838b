// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace joiner {

class Console;

// The whole run of the joiner in the current directory: checks "info.txt", asks for the output
// name and joins the listed parts into it. Returns the exit status: 0 when it ended normally
// (also after "Error in info.txt"), 1 after an I/O error report. moduleName is the name the
// report gives the program.
int runJoiner(Console &console, const std::string &moduleName);

} // namespace joiner
