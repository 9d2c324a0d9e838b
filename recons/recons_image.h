#pragma once

#include <span>

namespace recons {

// The complete executable file of the stand-alone joiner, as the build made it.
std::span<const unsigned char> ReconsImage();

} // namespace recons
