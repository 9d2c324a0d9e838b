// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "split_plan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
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
    // The user agreed that deleting the source loses the parts left out, which exist nowhere else;
    // without it such a Cut is refused.
    bool deleteLeavingPartsOut = false;
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

// What a Cut of this request would make, for a front end to ask about before it runs: the parts
// it leaves out are told before a Cut that deletes its source loses them.
struct CutPreview {
    std::int64_t partCount = 0; // of the plan
    std::int64_t partsMade = 0;
    std::vector<std::int64_t> leftOut; // the first `listed` numbers of the parts left out
};
// Nothing when the request cannot run at all; Cut itself then says why.
std::optional<CutPreview> previewCut(const CutRequest &request, std::size_t listed = 20);

// Splits the source into numbered parts beside it; the part list, the joiners and the checksum
// list go beside the parts too. Every file is written whole under a temporary name first, and all
// take their names together at the end, so a failure, a stop or a kill leaves the files of those
// names as they were: the old set or the new one, never a mix. Throws Failure: "Invalid file
// name" or "Invalid file size" (ReportedFailure), Stopped, or a default-box text. Everything it
// opened is closed before it throws. A source that changed while it was read fails the run; it is
// deleted only when every file made is on the device, it is still what was read and no stop was
// asked for. partList is used when the request asks for the part list, digests when it asks for
// digests; each must then be given. Returns 0, or the error number of a source that could not be
// removed (kChanged: it changed after it was read): the window leaves that unsaid.
int Cut(const CutRequest &request, ProgressSink &progress, PartListFactory *partList = nullptr,
        ChecksumListFactory *digests = nullptr);

} // namespace ops
