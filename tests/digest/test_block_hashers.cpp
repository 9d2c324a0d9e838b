// SPDX-License-Identifier: GPL-3.0-or-later
// The hashing threads give the digests one thread gives, however the blocks come and whenever the
// caller asks: also the pair on the SHA instructions, a part's digest finished at each part's end
// while the whole file's goes on.
#include "digest/block_hashers.h"
#include "digest/sha256.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

using testsupport::Bytes;

// Keeps every block it takes, to compare with what was posted.
struct Collector final : digest::BlockObserver {
    Bytes seen;
    void take(const void *data, std::size_t n) override
    {
        seen.insert(seen.end(), static_cast<const unsigned char *>(data), static_cast<const unsigned char *>(data) + n);
    }
};

digest::Sha256Digest oneThread(const Bytes &bytes)
{
    digest::Sha256 sha;
    sha.update(bytes.data(), bytes.size());
    return sha.finish();
}

TEST(BlockHashers, GiveWhatOneThreadGives)
{
    const struct Row {
        std::size_t size;
        std::size_t block;
        std::size_t hashers;
        int pauseUs; // between blocks: the hashers wait for work, or the caller for them
    } rows[] = {
        {0, 1, 2, 0},    {1, 1, 2, 0},         {63, 7, 2, 0},          {64, 64, 1, 0},
        {65, 64, 3, 50}, {100000, 4096, 2, 0}, {100000, 4096, 2, 200}, {1 << 20, 65536, 2, 0},
    };
    for (const Row &row : rows) {
        const Bytes bytes = testsupport::patternBytes(row.size, 5);
        Collector observer;
        digest::BlockHashers hashers(row.hashers, &observer);
        // post() wants each block to stay as it is while it may be on its way: buffers in turn.
        std::vector<Bytes> buffers(digest::BlockHashers::kInFlight);
        std::size_t turn = 0;
        for (std::size_t at = 0; at < bytes.size(); at += row.block, turn = (turn + 1) % buffers.size()) {
            const std::size_t n = std::min(row.block, bytes.size() - at);
            buffers[turn].assign(bytes.begin() + at, bytes.begin() + at + n);
            hashers.post(buffers[turn].data(), n);
            std::this_thread::sleep_for(std::chrono::microseconds(row.pauseUs));
        }
        for (std::size_t i = 0; i < row.hashers; ++i)
            EXPECT_EQ(hashers.finish(i), oneThread(bytes)) << row.size << " bytes, state " << i;
        EXPECT_EQ(observer.seen, bytes) << row.size;
        // finish() starts the state afresh.
        EXPECT_EQ(hashers.finish(0), oneThread({})) << row.size;
    }
}

TEST(BlockHashers, GivePartsAndTheWholeAsOneThreadDoes)
{
    const struct Row {
        std::vector<std::size_t> parts;
        std::size_t block;
    } rows[] = {
        {{1, 63, 64, 65, 127, 128, 129}, 64},
        {{55, 56, 57, 119, 120, 121}, 7},
        {{100000, 3, 70001}, 4096},
        {{1 << 20, (1 << 20) + 17, 5}, 65536},
    };
    for (const Row &row : rows) {
        digest::BlockHashers hashers(2);
        digest::Sha256 whole;
        std::size_t at = 0;
        for (const std::size_t size : row.parts) {
            const Bytes part = testsupport::patternBytes(size, static_cast<unsigned>(at % 251));
            whole.update(part.data(), part.size());
            // The part may end inside a block of the whole, and the next start inside one.
            for (std::size_t done = 0; done < size; done += row.block)
                hashers.post(part.data() + done, std::min(row.block, size - done));
            EXPECT_EQ(hashers.finish(0), oneThread(part)) << "part of " << size << " at " << at;
            at += size;
        }
        EXPECT_EQ(hashers.finish(1), whole.finish()) << at << " bytes";
    }
}

} // namespace
