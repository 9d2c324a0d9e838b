// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recons_image.h"

#include "ops/cut.h"

#include <string>
#include <vector>

namespace ops {
class ProgressSink;
}

namespace partset {

// The joiners for these systems as a Cut writes them.
std::vector<ops::JoinerImage> joinerImages(const std::vector<JoinerPlatform> &platforms = builtJoiners());

// A Cut with the set a recipient needs: with the part list asked for ("Recons.exe"), the whole set
// goes beside the parts: the part list, the checksum list and the joiners for `joiners` (those
// the build carries, unless told). What the window and the command line both run. Returns what
// ops::Cut returns.
int cutSet(ops::CutRequest request, ops::ProgressSink &progress,
           const std::vector<JoinerPlatform> &joiners = builtJoiners());

// The files of the names such a Cut would write that exist already: what the user is asked about.
std::vector<std::string> existingSetOutputs(ops::CutRequest request,
                                            const std::vector<JoinerPlatform> &joiners = builtJoiners());

} // namespace partset
