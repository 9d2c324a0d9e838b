// SPDX-License-Identifier: GPL-3.0-or-later
// The SHA-256 block function on the x86 SHA extensions. The state is kept as the instructions
// want it, two registers holding the words a, b, e, f and c, d, g, h; each step of four rounds
// extends the message schedule by four words (sha256msg1, sha256msg2) and runs two double
// rounds (sha256rnds2).
#include "sha256_kernels.h"

#include <cpuid.h>
#include <immintrin.h>

#define SKARVEL_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

namespace digest::kernels {

namespace {

alignas(16) constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// One hash in flight: its state, the state at the block's start, and the last 16 schedule words.
struct Lane {
    __m128i abef, cdgh, abefStart, cdghStart;
    __m128i w[4];
};

SKARVEL_SHA_TARGET inline void load(Lane &lane, const std::uint32_t state[8])
{
    const __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(state)), 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(state + 4)), 0x1B);
    lane.abef = _mm_alignr_epi8(dcba, efgh, 8);
    lane.cdgh = _mm_blend_epi16(efgh, dcba, 0xF0);
}

SKARVEL_SHA_TARGET inline void store(const Lane &lane, std::uint32_t state[8])
{
    const __m128i feba = _mm_shuffle_epi32(lane.abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(lane.cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

SKARVEL_SHA_TARGET inline void begin(Lane &lane, const unsigned char *block)
{
    const __m128i bigEndian = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    lane.abefStart = lane.abef;
    lane.cdghStart = lane.cdgh;
    for (int i = 0; i < 4; ++i)
        lane.w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block + 16 * i)), bigEndian);
}

// Rounds 4j to 4j + 3; from the fifth step on, first the schedule's next four words.
SKARVEL_SHA_TARGET inline void step(Lane &lane, int j)
{
    __m128i *w = lane.w;
    if (j >= 4) {
        const __m128i minus7 = _mm_alignr_epi8(w[(j + 3) & 3], w[(j + 2) & 3], 4);
        w[j & 3] =
            _mm_sha256msg2_epu32(_mm_add_epi32(_mm_sha256msg1_epu32(w[j & 3], w[(j + 1) & 3]), minus7), w[(j + 3) & 3]);
    }
    __m128i words = _mm_add_epi32(w[j & 3], _mm_load_si128(reinterpret_cast<const __m128i *>(kRound + 4 * j)));
    lane.cdgh = _mm_sha256rnds2_epu32(lane.cdgh, lane.abef, words);
    words = _mm_shuffle_epi32(words, 0x0E);
    lane.abef = _mm_sha256rnds2_epu32(lane.abef, lane.cdgh, words);
}

SKARVEL_SHA_TARGET inline void end(Lane &lane)
{
    lane.abef = _mm_add_epi32(lane.abef, lane.abefStart);
    lane.cdgh = _mm_add_epi32(lane.cdgh, lane.cdghStart);
}

} // namespace

bool haveShaInstructions()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSSE3) || !(c & bit_SSE4_1))
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_SHA);
}

SKARVEL_SHA_TARGET void compress(std::uint32_t state[8], const unsigned char *blocks, std::size_t count)
{
    Lane lane;
    load(lane, state);
    for (; count > 0; --count, blocks += 64) {
        begin(lane, blocks);
#pragma GCC unroll 16
        for (int j = 0; j < 16; ++j)
            step(lane, j);
        end(lane);
    }
    store(lane, state);
}

SKARVEL_SHA_TARGET void compressTwo(std::uint32_t first[8], const unsigned char *firstBlocks, std::uint32_t second[8],
                                    const unsigned char *secondBlocks, std::size_t count)
{
    Lane one, two;
    load(one, first);
    load(two, second);
    for (; count > 0; --count, firstBlocks += 64, secondBlocks += 64) {
        begin(one, firstBlocks);
        begin(two, secondBlocks);
#pragma GCC unroll 16
        for (int j = 0; j < 16; ++j) {
            step(one, j);
            step(two, j);
        }
        end(one);
        end(two);
    }
    store(one, first);
    store(two, second);
}

} // namespace digest::kernels
