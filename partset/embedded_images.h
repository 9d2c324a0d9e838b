// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

// The joiner images the build embeds (made by embed_image.cmake from the built joiners).
namespace partset {

std::span<const unsigned char> linuxJoinerImage();
std::span<const unsigned char> windowsJoinerImage();

} // namespace partset
