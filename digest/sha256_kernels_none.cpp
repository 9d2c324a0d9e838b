// SPDX-License-Identifier: GPL-3.0-or-later
// No SHA instructions on this processor family: the pair of digests falls back to two hashers.
#include "sha256_kernels.h"

#include <cstdlib>

namespace digest::kernels {

bool haveShaInstructions()
{
    return false;
}

void compress(std::uint32_t *, const unsigned char *, std::size_t)
{
    std::abort();
}

void compressTwo(std::uint32_t *, const unsigned char *, std::uint32_t *, const unsigned char *, std::size_t)
{
    std::abort();
}

} // namespace digest::kernels
