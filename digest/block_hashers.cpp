// SPDX-License-Identifier: GPL-3.0-or-later
#include "block_hashers.h"

#include <system_error>

namespace digest {

BlockHashers::BlockHashers(std::size_t count, BlockObserver *observer) : m_states(count), m_observer(observer)
{
    for (std::size_t i = 0; i < count + (observer ? 1 : 0); ++i) {
        try {
            m_threads.emplace_back([this, i] { work(i); });
        } catch (const std::system_error &) {
            break; // the remaining states (and the observer) are fed by post() itself
        }
    }
    m_observerThread = observer && m_threads.size() > count;
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
    for (std::size_t i = m_threads.size(); i < m_states.size(); ++i)
        m_states[i].update(data, n);
    if (m_observer && !m_observerThread)
        m_observer->take(data, n);
}

void BlockHashers::wait()
{
    std::unique_lock lock(m_mutex);
    m_taken.wait(lock, [this] { return m_busy == 0; });
}

Sha256Digest BlockHashers::finish(std::size_t i)
{
    wait();
    return m_states.at(i).finish();
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
        if (i < m_states.size())
            m_states[i].update(block, size);
        else
            m_observer->take(block, size);
        lock.lock();
        if (--m_busy == 0)
            m_taken.notify_all();
    }
}

} // namespace digest
