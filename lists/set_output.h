// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/atomic_output.h"

#include <string>

namespace lists {

// Starts a file of the set Cut writes beside the parts. A name that leads to a file to keep is
// refused as access denied, and one that leads to a file `existing` refuses as a file that
// exists; both fail through IoErrorReport, as any failure to create it.
fileio::AtomicOutput openSetOutput(const std::string &path, const fileio::FileIds &keep,
                                   fileio::AtomicOutput::Existing existing, mode_t mode = 0666);

// Fails as a file that exists when anything bears the name, a dangling link included.
void refuseExisting(const std::string &path);

// Ends the naming of a set file with the error finish() returned, through IoErrorReport.
void finishSetOutput(const std::string &path, int err);

} // namespace lists
