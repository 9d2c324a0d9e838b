// SPDX-License-Identifier: GPL-3.0-or-later
#include "part_list_reader.h"

#include "lists/checksum_list.h"

#include <string_view>

namespace lists {

namespace {

constexpr std::size_t kBufferSize = 16 * 1024;
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCtrlZ = '\x1a';

} // namespace

PartListReader::PartListReader(fileio::File &file) : m_file(file), m_buffer(new char[kBufferSize]) {}

bool PartListReader::fill()
{
    std::size_t got = 0;
    if (const int err = m_file.read(m_buffer.get(), kBufferSize, got))
        throw ListReadError{err};
    m_position = 0;
    m_length = got;
    return got > 0;
}

int PartListReader::peek()
{
    if (!m_started) {
        // A list saved by a Windows editor may begin with a byte-order mark: no part of a name.
        m_started = true;
        if (fill() && std::string_view(m_buffer.get(), m_length).starts_with(lists::kByteOrderMark))
            m_position = lists::kByteOrderMark.size();
    }
    if (m_position == m_length && !fill())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_position]);
}

bool PartListReader::atEnd()
{
    const int c = peek();
    return c < 0 || c == kCtrlZ;
}

std::string PartListReader::readLine()
{
    std::string line;
    while (!atEnd()) {
        const char c = static_cast<char>(peek());
        take();
        if (c == kCr) {
            if (peek() == kLf)
                take();
            break;
        }
        if (line.size() <= kMaxNameBytes)
            line += c;
    }
    return line;
}

} // namespace lists
