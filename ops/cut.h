// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skip_list.h"
#include "split_plan.h"

#include "fileio/file.h"
#include "lists/set_names.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ops {

class ProgressSink;

// A joiner a Cut writes beside the parts with the part list: the program's image, as the build
// made it; the shell joiner's text the Cut makes from its parts (the image is not used).
struct JoinerImage {
    lists::JoinerPlatform platform;
    std::span<const unsigned char> image;
};

// How parts are named: the marker and the number before the file name's last four characters
// (PartFileName: film3.mkv), or the number after the whole name, zero-padded so that the names
// sort in their order (NumberedPartName: film.mkv.003), as archivers and scripts read them.
enum class PartNames { Inserted, Numbered };

// A stream a Cut reads instead of a file: standard input, say.
struct CutStream {
    fileio::NativeHandle handle; // open for reading; the Cut reads it from where it stands
    std::string name;            // what its failures name, such as "-"
};

// What a Cut is asked to do, in typed values: every front end builds one.
struct CutRequest {
    std::string source;
    // Given, the bytes come from the stream, and `source` only names the parts and says their
    // folder. A stream's size is known only at its end: it is cut by size, into every part, and
    // is never deleted.
    std::optional<CutStream> stream;
    SplitBy mode;
    SkipList skip; // the parts to leave out; with onlyListed the only parts to make
    bool onlyListed = false;
    std::string marker;                    // put before each part's number; empty for none
    PartNames names = PartNames::Inserted; // Numbered takes no marker
    bool writePartList = false;            // the part list and the joiners
    std::vector<JoinerImage> joiners;
    bool writeDigests = false; // the SHA-256 of every part made and of the whole source
    // N: recovery parts per group beside the parts (lists/recovery_header.h), 0 for none. Any N
    // parts or recovery parts missing or damaged are rebuilt from them. They need the digests, every
    // part made and a file to read.
    int recovery = 0;
    bool deleteSource = false;
    // The user agreed that deleting the source loses the parts left out, which exist nowhere else;
    // without it such a Cut is refused.
    bool deleteLeavingPartsOut = false;
    // Files of the names Cut writes that exist already are replaced only with the user's consent;
    // without it Cut refuses them. Parts made again with onlyListed are what the user asks for.
    bool replaceExisting = false;
};

// Everything the Cut page holds when its button is pressed, as the controls hold it.
struct CutPage {
    std::string source;
    std::string skipText;
    SplitMode mode;
    bool markerOn = false;
    std::string marker;
    bool writePartList = false; // "Recons.exe"
    bool deleteSource = false;
};

// The request the Cut page makes, its failures in the order the page has always met them: a
// source that is no file ("Invalid file name") or cannot be opened comes before a skip or size
// text that is no number ("'%s' is not a valid integer value"). Throws Failure.
CutRequest fromCutPage(const CutPage &page);

// Why a marker cannot go into part names, in words; nullptr when it can.
const char *markerProblem(std::string_view marker);

// The outputs a Cut of this request would write (its parts, and the part list, joiners and
// checksum list asked for) that exist already: what the user is asked about before they are
// replaced. Empty when the request cannot run at all; Cut itself then says why.
std::vector<std::string> existingOutputs(const CutRequest &request);

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
// asked for. Returns 0, or the error number of a source that could not be removed (kChanged: it
// changed after it was read): the window leaves that unsaid.
int Cut(const CutRequest &request, ProgressSink &progress);

} // namespace ops
