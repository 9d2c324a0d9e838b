#pragma once

#include <span>

// The joiner images the build embeds (made by embed_image.cmake from the built joiners).
namespace recons {

std::span<const unsigned char> LinuxJoinerImage();
std::span<const unsigned char> WindowsJoinerImage();

} // namespace recons
