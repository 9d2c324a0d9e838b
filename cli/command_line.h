// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace cli {

// Runs skarvel-cli on the words after its name and returns the exit status: 0 done, 1 the
// operation failed (one line on standard error), 2 the words cannot be used.
int runCommandLine(const std::vector<std::string> &words);

} // namespace cli
