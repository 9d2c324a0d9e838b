// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recons_image.h"

#include "fileio/atomic_output.h"
#include "lists/set_names.h"

#include <string>

namespace partset {

using lists::joinerFileName;

// Writes the joiner image for `platform` under its name in `folder` (a directory part, empty for
// the current one), replacing a file of that name unless it is one of `keep` (access denied then)
// or `existing` refuses it, and leaves it executable (0777 less the umask); with `toDevice`,
// flushed to the device. Fails through IoErrorReport.
void WriteRecons(const std::string &folder = {}, const fileio::FileIds &keep = {}, bool toDevice = false,
                 JoinerPlatform platform = JoinerPlatform::Windows,
                 fileio::AtomicOutput::Existing existing = fileio::AtomicOutput::Existing::Replace);

} // namespace partset
