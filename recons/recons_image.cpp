// SPDX-License-Identifier: GPL-3.0-or-later
#include "recons_image.h"

#include "embedded_images.h"

namespace recons {

std::span<const unsigned char> ReconsImage(JoinerPlatform platform)
{
    return platform == JoinerPlatform::Windows ? WindowsJoinerImage() : LinuxJoinerImage();
}

} // namespace recons
