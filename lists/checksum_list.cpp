// SPDX-License-Identifier: GPL-3.0-or-later
#include "checksum_list.h"

namespace lists {

namespace {

constexpr std::size_t kBufferSize = 16 * 1024;
// Longer than any line of a path the system accepts, escaped: a longer line is not ours.
constexpr std::size_t kMaxLine = 64 + 2 + 2 * 4096;

bool needsEscape(const std::string &name)
{
    return name.find_first_of("\\\n\r") != std::string::npos;
}

std::string escaped(const std::string &name)
{
    std::string text;
    for (const char c : name) {
        if (c == '\\')
            text += "\\\\";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else
            text += c;
    }
    return text;
}

std::optional<std::string> unescaped(std::string_view text)
{
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            name += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            name += '\\';
            break;
        case 'n':
            name += '\n';
            break;
        case 'r':
            name += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return name;
}

} // namespace

std::string checksumLine(const digest::Sha256Digest &digest, const std::string &name)
{
    if (needsEscape(name))
        return "\\" + digest::toHex(digest) + "  " + escaped(name) + "\n";
    return digest::toHex(digest) + "  " + name + "\n";
}

std::optional<ChecksumEntry> parseChecksumLine(std::string_view line)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const bool escapedName = line.starts_with('\\');
    if (escapedName)
        line.remove_prefix(1);
    constexpr std::size_t kHexDigits = 64;
    // The digest, a blank, then a blank (text mode) or "*" (binary mode) before the name.
    if (line.size() < kHexDigits + 3 || line[kHexDigits] != ' ')
        return std::nullopt;
    if (line[kHexDigits + 1] != ' ' && line[kHexDigits + 1] != '*')
        return std::nullopt;
    const auto digest = digest::digestFromHex(line.substr(0, kHexDigits));
    if (!digest)
        return std::nullopt;
    const std::string_view text = line.substr(kHexDigits + 2);
    auto name = escapedName ? unescaped(text) : std::optional<std::string>(text);
    if (!name)
        return std::nullopt;
    return ChecksumEntry{*digest, std::move(*name)};
}

ChecksumReader::ChecksumReader(fileio::File &file) : m_file(file), m_buffer(new char[kBufferSize]) {}

int ChecksumReader::peekByte(int &err)
{
    if (m_position == m_length) {
        std::size_t got = 0;
        if ((err = m_file.read(m_buffer.get(), kBufferSize, got)) != 0 || got == 0)
            return -1;
        m_position = 0;
        m_length = got;
    }
    return static_cast<unsigned char>(m_buffer[m_position]);
}

int ChecksumReader::take(int &err)
{
    const int c = peekByte(err);
    if (c >= 0)
        ++m_position;
    return c;
}

int ChecksumReader::next(Line &kind, ChecksumEntry &entry)
{
    if (!m_started) {
        // Only a whole mark is passed over: bytes that merely begin like one belong to the line.
        m_started = true;
        int err = 0;
        peekByte(err);
        if (err)
            return err;
        if (std::string_view(m_buffer.get() + m_position, m_length - m_position).starts_with(kByteOrderMark))
            m_position += kByteOrderMark.size();
    }
    for (;;) {
        std::string line;
        bool tooLong = false;
        int err = 0;
        int c = take(err);
        if (c < 0) {
            kind = Line::End;
            return err;
        }
        for (; c >= 0 && c != '\n'; c = take(err)) {
            if (line.size() < kMaxLine)
                line += static_cast<char>(c);
            else
                tooLong = true;
        }
        if (err)
            return err;
        if (line.empty() || line == "\r")
            continue;
        if (line.starts_with('#')) {
            if (line.ends_with('\r'))
                line.pop_back();
            m_incomplete = m_incomplete || line == kIncompleteSetComment;
            m_wholeNext = line == kIncompleteSetComment || line == kWholeFileComment;
            continue;
        }
        const auto parsed = tooLong ? std::nullopt : parseChecksumLine(line);
        kind = parsed ? Line::Entry : Line::Malformed;
        if (parsed) {
            entry = *parsed;
            entry.wholeFile = m_wholeNext;
        }
        m_wholeNext = false;
        return 0;
    }
}

} // namespace lists
