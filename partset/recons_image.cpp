// SPDX-License-Identifier: GPL-3.0-or-later
#include "recons_image.h"

#include "embedded_images.h"

namespace partset {

std::span<const unsigned char> ReconsImage(JoinerPlatform platform)
{
    return platform == JoinerPlatform::Windows ? windowsJoinerImage() : linuxJoinerImage();
}

std::vector<JoinerPlatform> builtJoiners()
{
    std::vector<JoinerPlatform> joiners;
    for (const JoinerPlatform platform : {JoinerPlatform::Windows, JoinerPlatform::Linux}) {
        if (!ReconsImage(platform).empty())
            joiners.push_back(platform);
    }
    return joiners;
}

} // namespace partset
