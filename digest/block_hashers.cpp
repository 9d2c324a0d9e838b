// SPDX-License-Identifier: GPL-3.0-or-later
#include "block_hashers.h"

#include <system_error>

namespace digest {

BlockHashers::BlockHashers(std::size_t count, BlockObserver *observer) : m_observer(observer)
{
    if (count == 2 && Sha256Pair::available())
        m_pair.emplace();
    else
        m_states.resize(count);
    m_takenCount.reserve(workerCount()); // never moves while the threads run
    for (std::size_t i = 0; i < workerCount(); ++i) {
        m_takenCount.push_back(0);
        try {
            m_threads.emplace_back([this, i] { work(i); });
        } catch (const std::system_error &) {
            m_takenCount.pop_back();
            break; // the remaining states (and the observer) are fed by post() itself
        }
    }
}

BlockHashers::~BlockHashers()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_posted.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

void BlockHashers::post(const void *data, std::size_t n)
{
    std::uint64_t posted = 0;
    {
        // The block kInFlight before this one was taken in by all when the last post() returned.
        const std::lock_guard lock(m_mutex);
        m_blocks[m_postedCount % kInFlight] = {data, n};
        posted = ++m_postedCount;
    }
    m_posted.notify_all();
    for (std::size_t i = m_threads.size(); i < workerCount(); ++i)
        hash(i, data, n);
    // The caller may refill the oldest block's buffer next.
    if (posted > kInFlight - 1)
        waitFor(posted - (kInFlight - 1));
}

void BlockHashers::wait()
{
    std::uint64_t posted = 0;
    {
        const std::lock_guard lock(m_mutex);
        posted = m_postedCount;
    }
    waitFor(posted);
}

void BlockHashers::waitFor(std::uint64_t blocks)
{
    std::unique_lock lock(m_mutex);
    m_taken.wait(lock, [&] {
        for (const std::uint64_t taken : m_takenCount)
            if (taken < blocks)
                return false;
        return true;
    });
}

Sha256Digest BlockHashers::finish(std::size_t i)
{
    wait();
    return m_pair ? m_pair->finish(i) : m_states.at(i).finish();
}

void BlockHashers::hash(std::size_t i, const void *data, std::size_t n)
{
    if (i == hasherCount())
        m_observer->take(data, n);
    else if (m_pair)
        m_pair->update(data, n);
    else
        m_states[i].update(data, n);
}

void BlockHashers::work(std::size_t i)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_posted.wait(lock, [&] { return m_stopping || m_postedCount != m_takenCount[i]; });
        if (m_stopping)
            return;
        const Block block = m_blocks[m_takenCount[i] % kInFlight];
        lock.unlock();
        hash(i, block.data, block.size);
        lock.lock();
        ++m_takenCount[i];
        m_taken.notify_all();
    }
}

} // namespace digest
