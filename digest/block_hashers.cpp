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
    for (std::size_t i = 0; i < workerCount(); ++i) {
        try {
            m_threads.emplace_back([this, i] { work(i); });
        } catch (const std::system_error &) {
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
    wait();
    {
        const std::lock_guard lock(m_mutex);
        m_block = data;
        m_blockSize = n;
        m_busy = m_threads.size();
        ++m_generation;
    }
    m_posted.notify_all();
    for (std::size_t i = m_threads.size(); i < workerCount(); ++i)
        hash(i, data, n);
}

void BlockHashers::wait()
{
    std::unique_lock lock(m_mutex);
    m_taken.wait(lock, [this] { return m_busy == 0; });
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
    std::uint64_t seen = 0;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_posted.wait(lock, [&] { return m_stopping || m_generation != seen; });
        if (m_stopping)
            return;
        seen = m_generation;
        const void *block = m_block;
        const std::size_t size = m_blockSize;
        lock.unlock();
        hash(i, block, size);
        lock.lock();
        if (--m_busy == 0)
            m_taken.notify_all();
    }
}

} // namespace digest
