// SPDX-License-Identifier: GPL-3.0-or-later
#include "keystream.h"

#include "fileio/io_error.h"

#include <algorithm>
#include <cstring>

namespace ops {

namespace {

void readExactly(fileio::File &key, const std::string &path, unsigned char *out, std::size_t n, std::int64_t offset)
{
    std::size_t got = 0;
    if (const int err = key.readAt(out, n, offset, got))
        fileio::failErrno(err, path);
    if (got < n)
        fileio::failIo(fileio::IoError::shortRead(), path);
}

} // namespace

KeyStream::KeyStream(fileio::File &key, const std::string &path) : m_key(key), m_path(path)
{
    if (const int err = m_key.size(m_size))
        fileio::failErrno(err, m_path);
    if (m_size > 0 && static_cast<std::uint64_t>(m_size) <= kCacheLimit) {
        const auto size = static_cast<std::size_t>(m_size);
        m_cache.reset(new unsigned char[size]);
        readExactly(m_key, m_path, m_cache.get(), size, 0);
    }
}

std::size_t KeyStream::chunk(std::size_t n) const
{
    return static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(n), m_size - m_position));
}

void KeyStream::fill(unsigned char *out, std::size_t n)
{
    if (n > 0 && m_size == 0)
        fileio::failIo(fileio::IoError::shortRead(), m_path);
    while (n > 0) {
        if (m_position == m_size)
            m_position = 0;
        const std::size_t length = chunk(n);
        if (m_cache)
            std::memcpy(out, m_cache.get() + m_position, length);
        else
            readExactly(m_key, m_path, out, length, m_position);
        out += length;
        n -= length;
        m_position += static_cast<std::int64_t>(length);
    }
}

} // namespace ops
