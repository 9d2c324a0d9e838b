// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lists/set_names.h"

#include <span>
#include <vector>

namespace partset {

using lists::JoinerPlatform;

// The complete executable file of the stand-alone joiner for that system, as the build made it:
// a static x86_64 Linux program, or a 64-bit Windows console program; empty for the Windows one
// in a build without it, and for the shell joiner, whose text the Cut writes from its parts.
std::span<const unsigned char> ReconsImage(JoinerPlatform platform = JoinerPlatform::Linux);

// The joiners this build carries, Windows first, the shell joiner last: what a set holds unless
// told otherwise.
std::vector<JoinerPlatform> builtJoiners();

} // namespace partset
