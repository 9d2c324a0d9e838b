// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut_set.h"

namespace partset {

namespace {

ops::CutRequest withTheSet(ops::CutRequest request, const std::vector<JoinerPlatform> &joiners)
{
    request.writeDigests = request.writeDigests || request.writePartList;
    request.joiners = request.writePartList ? joinerImages(joiners) : std::vector<ops::JoinerImage>{};
    return request;
}

} // namespace

std::vector<ops::JoinerImage> joinerImages(const std::vector<JoinerPlatform> &platforms)
{
    std::vector<ops::JoinerImage> images;
    for (const JoinerPlatform platform : platforms)
        images.push_back({platform, ReconsImage(platform)});
    return images;
}

int cutSet(ops::CutRequest request, ops::ProgressSink &progress, const std::vector<JoinerPlatform> &joiners)
{
    return ops::Cut(withTheSet(std::move(request), joiners), progress);
}

std::vector<std::string> existingSetOutputs(ops::CutRequest request, const std::vector<JoinerPlatform> &joiners)
{
    return ops::existingOutputs(withTheSet(std::move(request), joiners));
}

} // namespace partset
