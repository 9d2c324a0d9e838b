// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sha256.h"
#include "sha256_pair.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace digest {

// What else takes in every block beside the digests (the recovery parts' coder): it runs on a
// thread of its own like each hasher, and keeps any failure to itself.
class BlockObserver {
public:
    virtual ~BlockObserver() = default;
    virtual void take(const void *data, std::size_t n) = 0;
};

// Hashes one stream of blocks into several SHA-256 states at once (a part's and the whole
// file's), each on a thread of its own, so that two digests of the same bytes cost the time of
// one and the caller's reads and writes overlap the hashing; where the processor has SHA
// instructions, two digests go side by side on one thread (Sha256Pair) for the time of one, and
// leave the other core to the copy. A hasher whose thread could not be started runs on the
// caller's thread instead.
class BlockHashers {
public:
    // With an observer, every block goes to it too; it must outlive the hashers.
    explicit BlockHashers(std::size_t count, BlockObserver *observer = nullptr);
    ~BlockHashers();
    BlockHashers(const BlockHashers &) = delete;
    BlockHashers &operator=(const BlockHashers &) = delete;

    // How many blocks may be on their way at once: the states take them at their own pace, so
    // one that is slow for a moment does not hold back the others or the caller.
    static constexpr std::size_t kInFlight = 4;

    // Hands the block to every state and returns while they hash it; the block must stay as it
    // is until kInFlight - 1 more post()s or a wait() returned.
    void post(const void *data, std::size_t n);
    // Returns once every state has taken in every block posted.
    void wait();
    // The digest of state i since its last finish, and a fresh start for it.
    Sha256Digest finish(std::size_t i);

private:
    // The threads' work: hasher i takes in the block; the one after the hashers is the observer.
    std::size_t hasherCount() const { return m_pair ? 1 : m_states.size(); }
    std::size_t workerCount() const { return hasherCount() + (m_observer ? 1 : 0); }
    void hash(std::size_t i, const void *data, std::size_t n);
    void work(std::size_t i);

    std::optional<Sha256Pair> m_pair; // both states, or none and they are in m_states
    std::vector<Sha256> m_states;
    BlockObserver *m_observer;
    std::vector<std::thread> m_threads; // m_threads[i] runs worker i

    // Returns once every worker has taken in the first `blocks` blocks posted.
    void waitFor(std::uint64_t blocks);

    struct Block {
        const void *data = nullptr;
        std::size_t size = 0;
    };
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::condition_variable m_taken;
    Block m_blocks[kInFlight]; // block b in m_blocks[b % kInFlight]
    std::uint64_t m_postedCount = 0;
    std::vector<std::uint64_t> m_takenCount; // per worker thread: how many blocks it has taken in
    bool m_stopping = false;
};

} // namespace digest
