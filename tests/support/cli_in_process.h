// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "child_process.h"

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Runs skarvel-cli's command line in this process, in folder cwd (when not empty), with its
// standard output and errors caught in files: the argument handling without a fork. Both streams
// are files, not terminals, as in runCli.
CliResult runCliInProcess(const std::vector<std::string> &args, const std::string &cwd = "");

// Runs any work that gives an exit status the same way, in this folder.
CliResult runInProcess(const std::function<int()> &work);

} // namespace testsupport
