// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "split_plan.h"

#include <string>
#include <vector>

namespace ops {

class ChecksumListFactory;
class PartListFactory;
class ProgressSink;

// Everything the Cut page holds when its button is pressed.
struct CutRequest {
    std::string source;
    std::string skipText; // the parts to leave out; with onlyListed the only parts to make
    bool onlyListed = false;
    SplitMode mode;
    bool markerOn = false;
    std::string marker;
    bool writePartList = false; // "Recons.exe": the part list and the joiners
    bool deleteSource = false;
    bool writeDigests = false; // the SHA-256 of every part made and of the whole source
    // Files of the names Cut writes that exist already are replaced only with the user's consent;
    // without it Cut refuses them. Parts made again with onlyListed are what the user asks for.
    bool replaceExisting = false;
};

// The outputs a Cut of this request would write (its parts, and the part list and checksum list
// files asked for) that exist already: what the user is asked about before they are replaced.
// Empty when the request cannot run at all; Cut itself then says why.
std::vector<std::string> existingOutputs(const CutRequest &request, const PartListFactory *partList = nullptr,
                                         const ChecksumListFactory *digests = nullptr);

// Splits the source into numbered parts beside it; the part list, the joiners and the checksum
// list go beside the parts too. Every file carries its name only once it is whole. Throws Failure:
// "Invalid file name" or "Invalid file size" (ReportedFailure), Stopped, or a default-box text.
// Everything it opened is closed before it throws, and the source is deleted only when every file
// made is on the device and the source is still what was read. partList is used when the request
// asks for the part list, digests when it asks for digests; each must then be given. Returns 0, or
// the error number of a source that could not be removed (the window leaves that unsaid).
int Cut(const CutRequest &request, ProgressSink &progress, PartListFactory *partList = nullptr,
        ChecksumListFactory *digests = nullptr);

} // namespace ops
