#pragma once

#include "splitplan.h"

#include <string>

namespace ops {

class PartListFactory;
class ProgressSink;

// Everything the Cut page holds when its button is pressed.
struct CutRequest {
    std::string source;
    std::string skipText;
    SplitMode mode;
    bool markerOn = false;
    std::string marker;
    bool writePartList = false; // "Recons.exe": the part list and the joiner
    bool deleteSource = false;
};

// Splits the source into numbered parts beside it. Throws Failure: "Invalid file name" or
// "Invalid file size" (ReportError), or a default-box text. Everything it opened is closed
// before it throws, and the source is never deleted after a failure. partList is used when
// the request asks for the part list; it must then be given.
void Cut(const CutRequest &request, ProgressSink &progress, PartListFactory *partList = nullptr);

} // namespace ops
