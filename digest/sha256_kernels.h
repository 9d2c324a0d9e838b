// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// The SHA-256 block function on the processor's SHA instructions (sha256_kernels_x86.cpp), for
// the pair of digests in sha256_pair.cpp; elsewhere none (sha256_kernels_none.cpp).
namespace digest::kernels {

// Whether this processor has the instructions; the functions below may run only then.
bool haveShaInstructions();
// Takes `count` 64-byte blocks into the state (words a to h, as the standard numbers them).
void compress(std::uint32_t state[8], const unsigned char *blocks, std::size_t count);
// The same for two states at once, each with blocks of its own: one hash alone leaves the
// instructions waiting on their own results, and the other fills those waits.
void compressTwo(std::uint32_t first[8], const unsigned char *firstBlocks, std::uint32_t second[8],
                 const unsigned char *secondBlocks, std::size_t count);

} // namespace digest::kernels
