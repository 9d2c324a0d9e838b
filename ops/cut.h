// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "split_plan.h"

#include <string>

namespace ops {

class DigestListFactory;
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
    bool writePartList = false; // "Recons.exe": the part list and the joiner
    bool deleteSource = false;
    bool writeDigests = false; // the SHA-256 of every part made and of the whole source
};

// Splits the source into numbered parts beside it. Throws Failure: "Invalid file name" or
// "Invalid file size" (ReportError), or a default-box text. Everything it opened is closed
// before it throws, and the source is never deleted after a failure. partList is used when
// the request asks for the part list, digests when it asks for digests; each must then be given.
void Cut(const CutRequest &request, ProgressSink &progress, PartListFactory *partList = nullptr,
         DigestListFactory *digests = nullptr);

} // namespace ops
