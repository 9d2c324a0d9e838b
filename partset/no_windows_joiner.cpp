// SPDX-License-Identifier: GPL-3.0-or-later
// A build without mingw-w64 (SKARVEL_WINDOWS_JOINER) embeds no Windows joiner.
#include "embedded_images.h"

namespace partset {

std::span<const unsigned char> windowsJoinerImage()
{
    return {};
}

} // namespace partset
