// SPDX-License-Identifier: GPL-3.0-or-later
#include "sha256_pair.h"

#include "sha256_kernels.h"

#include <algorithm>
#include <cstring>

namespace digest {

namespace {

constexpr std::size_t kBlock = 64;
constexpr std::uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

} // namespace

bool Sha256Pair::available()
{
    static const bool have = kernels::haveShaInstructions();
    return have;
}

Sha256Pair::Sha256Pair()
{
    start(m_lanes[0]);
    start(m_lanes[1]);
}

void Sha256Pair::start(Lane &lane)
{
    std::memcpy(lane.state, kInitial, sizeof kInitial);
    lane.length = 0;
    lane.pendingSize = 0;
}

std::size_t Sha256Pair::fillPending(Lane &lane, const unsigned char *data, std::size_t n)
{
    if (lane.pendingSize == 0)
        return 0;
    const std::size_t take = std::min(kBlock - lane.pendingSize, n);
    std::memcpy(lane.pending + lane.pendingSize, data, take);
    lane.pendingSize += take;
    if (lane.pendingSize == kBlock) {
        kernels::compress(lane.state, lane.pending, 1);
        lane.pendingSize = 0;
    }
    return take;
}

void Sha256Pair::update(const void *data, std::size_t n)
{
    // The two digests may have started at different points, so each has its own place in the
    // bytes: their whole blocks go side by side, what one has over the other alone.
    const auto *bytes = static_cast<const unsigned char *>(data);
    const unsigned char *at[2];
    std::size_t left[2];
    for (int i = 0; i < 2; ++i) {
        Lane &lane = m_lanes[i];
        lane.length += n;
        const std::size_t took = fillPending(lane, bytes, n);
        at[i] = bytes + took;
        left[i] = n - took;
    }
    const std::size_t together = std::min(left[0], left[1]) / kBlock;
    if (together > 0) {
        kernels::compressTwo(m_lanes[0].state, at[0], m_lanes[1].state, at[1], together);
        for (int i = 0; i < 2; ++i) {
            at[i] += together * kBlock;
            left[i] -= together * kBlock;
        }
    }
    for (int i = 0; i < 2; ++i) {
        Lane &lane = m_lanes[i];
        if (const std::size_t alone = left[i] / kBlock) {
            kernels::compress(lane.state, at[i], alone);
            at[i] += alone * kBlock;
            left[i] -= alone * kBlock;
        }
        std::memcpy(lane.pending + lane.pendingSize, at[i], left[i]);
        lane.pendingSize += left[i];
    }
}

Sha256Digest Sha256Pair::finish(std::size_t i)
{
    Lane &lane = m_lanes[i];
    // The padding: a one bit, zeros up to the last eight bytes of a block, the length in bits.
    lane.pending[lane.pendingSize++] = 0x80;
    if (lane.pendingSize > kBlock - 8) {
        std::memset(lane.pending + lane.pendingSize, 0, kBlock - lane.pendingSize);
        kernels::compress(lane.state, lane.pending, 1);
        lane.pendingSize = 0;
    }
    std::memset(lane.pending + lane.pendingSize, 0, kBlock - 8 - lane.pendingSize);
    const std::uint64_t bits = lane.length * 8;
    for (int b = 0; b < 8; ++b)
        lane.pending[kBlock - 1 - b] = static_cast<unsigned char>(bits >> (8 * b));
    kernels::compress(lane.state, lane.pending, 1);

    Sha256Digest digest;
    for (int w = 0; w < 8; ++w)
        for (int b = 0; b < 4; ++b)
            digest[4 * w + b] = static_cast<unsigned char>(lane.state[w] >> (24 - 8 * b));
    start(lane);
    return digest;
}

} // namespace digest
