// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sha256.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace digest {

// What else takes in every block beside the digests (the recovery parts' coder): it runs on a
// thread of its own like each state, and keeps any failure to itself.
class BlockObserver {
public:
    virtual ~BlockObserver() = default;
    virtual void take(const void *data, std::size_t n) = 0;
};

// Hashes one stream of blocks into several SHA-256 states at once (a part's and the whole
// file's), each on a thread of its own, so that two digests of the same bytes cost the time of
// one and the caller's reads and writes overlap the hashing. A state whose thread could not be
// started is hashed on the caller's thread instead.
class BlockHashers {
public:
    // With an observer, every block goes to it too; it must outlive the hashers.
    explicit BlockHashers(std::size_t count, BlockObserver *observer = nullptr);
    ~BlockHashers();
    BlockHashers(const BlockHashers &) = delete;
    BlockHashers &operator=(const BlockHashers &) = delete;

    // Hands the block to every state and returns while they hash it; the block must stay as it
    // is until the next post() or wait() returns.
    void post(const void *data, std::size_t n);
    // Returns once every state has taken in every block posted.
    void wait();
    // The digest of state i since its last finish, and a fresh start for it.
    Sha256Digest finish(std::size_t i);

private:
    void work(std::size_t i);

    std::vector<Sha256> m_states;
    BlockObserver *m_observer;
    // m_threads[i] hashes m_states[i]; the one after the states, when started, feeds the observer.
    std::vector<std::thread> m_threads;
    bool m_observerThread = false;

    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::condition_variable m_taken;
    const void *m_block = nullptr;
    std::size_t m_blockSize = 0;
    std::uint64_t m_generation = 0;
    std::size_t m_busy = 0;
    bool m_stopping = false;
};

} // namespace digest
