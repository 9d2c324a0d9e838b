// SPDX-License-Identifier: GPL-3.0-or-later
#include "recons_image.h"

#include "embedded_images.h"

namespace partset {

std::span<const unsigned char> ReconsImage(JoinerPlatform platform)
{
    switch (platform) {
    case JoinerPlatform::Windows:
        return windowsJoinerImage();
    case JoinerPlatform::Sh:
        return {}; // the Cut writes the script from its parts
    case JoinerPlatform::Linux:
        break;
    }
    return linuxJoinerImage();
}

std::vector<JoinerPlatform> builtJoiners()
{
    std::vector<JoinerPlatform> joiners;
    for (const JoinerPlatform platform : {JoinerPlatform::Windows, JoinerPlatform::Linux}) {
        if (!ReconsImage(platform).empty())
            joiners.push_back(platform);
    }
    joiners.push_back(JoinerPlatform::Sh);
    return joiners;
}

} // namespace partset
