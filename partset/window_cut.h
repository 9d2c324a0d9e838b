// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ops/cut.h"

#include <string>
#include <vector>

namespace ops {
class ProgressSink;
}

namespace partset {

// Cut as the window asks it: with the part list asked for ("Recons.exe" ticked), the whole set a
// recipient needs goes beside the parts: the part list, the checksum list and the joiners the
// build carries. Returns what ops::Cut returns.
int cutWithSet(const ops::CutRequest &request, ops::ProgressSink &progress);

// The files of the names such a Cut would write that exist already: what the window asks about.
std::vector<std::string> existingSetOutputs(const ops::CutRequest &request);

} // namespace partset
