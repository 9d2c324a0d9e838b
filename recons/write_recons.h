// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recons_image.h"

#include "fileio/file.h"

namespace recons {

inline constexpr const char *kReconsName = "Recons.exe";

// Writes the joiner image for `platform` to "Recons.exe" in the current directory, replacing a
// file of that name unless it is one of `keep` (access denied then), and leaves it executable
// (0777 less the umask); with `toDevice`, flushed to the device. Fails through IoErrorReport.
void WriteRecons(const fileio::FileIds &keep = {}, bool toDevice = false,
                 JoinerPlatform platform = JoinerPlatform::Linux);

} // namespace recons
