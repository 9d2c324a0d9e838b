// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sha256.h"

#include <cstddef>
#include <cstdint>

namespace digest {

// Two SHA-256 digests of one stream of bytes, a part's and the whole file's, for the time of
// one on one thread: each block of the two is hashed side by side on the processor's SHA
// instructions, where one hash alone would leave them waiting. Each digest may be finished and
// started afresh at a point of its own. Only where available() holds.
class Sha256Pair {
public:
    static bool available();

    Sha256Pair();
    // Gives the bytes to both digests.
    void update(const void *data, std::size_t n);
    // The digest of digest i (0 or 1) since its start, and a fresh start for it.
    Sha256Digest finish(std::size_t i);

private:
    struct Lane {
        std::uint32_t state[8];
        std::uint64_t length; // bytes taken in
        unsigned char pending[64];
        std::size_t pendingSize; // bytes of pending not yet a whole block
    };
    static void start(Lane &lane);
    // Tops up the lane's pending block from data; the bytes it took.
    static std::size_t fillPending(Lane &lane, const unsigned char *data, std::size_t n);

    Lane m_lanes[2];
};

} // namespace digest
