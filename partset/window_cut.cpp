// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_cut.h"

#include "checksum_list_file.h"
#include "part_list_files.h"

namespace partset {

namespace {

ops::CutRequest withTheSet(ops::CutRequest request)
{
    request.writeDigests = request.writeDigests || request.writePartList;
    return request;
}

} // namespace

int cutWithSet(const ops::CutRequest &request, ops::ProgressSink &progress)
{
    PartListFiles partList;
    ChecksumListFile checksums;
    return ops::Cut(withTheSet(request), progress, &partList, &checksums);
}

std::vector<std::string> existingSetOutputs(const ops::CutRequest &request)
{
    const PartListFiles partList;
    const ChecksumListFile checksums;
    return ops::existingOutputs(withTheSet(request), &partList, &checksums);
}

} // namespace partset
