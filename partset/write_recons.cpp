// SPDX-License-Identifier: GPL-3.0-or-later
#include "write_recons.h"

#include "recons_image.h"

#include "lists/set_output.h"

namespace partset {

void WriteRecons(const std::string &folder, const fileio::FileIds &keep, bool toDevice, JoinerPlatform platform,
                 fileio::AtomicOutput::Existing existing)
{
    const std::string path = folder + lists::joinerFileName(platform);
    fileio::AtomicOutput output =
        lists::writeSetFile(path, ReconsImage(platform), keep, existing, lists::kExecutableMode);
    lists::finishSetOutput(path, output.finish(keep, toDevice));
}

} // namespace partset
