// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "set_names.h"

#include "digest/sha256.h"

#include "fileio/file.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The checksum list "info.sha256" in the format of sha256sum: one line per file, 64 hexadecimal
// digits, a blank, a blank (or "*"), the name, LF. A name holding a backslash, LF or CR is written
// with each of them escaped ("\\", "\n", "\r") and the line begins with a backslash. A Cut lists
// its parts in order, then the whole source, so `sha256sum -c` checks either. Lines beginning
// with "#" are comments.
namespace lists {

// sha256sum passes over lines that begin with "#". Cut writes this one before the whole file's
// line when it left parts out: their join is not the whole file, whose line then checks nothing.
inline constexpr const char *kIncompleteSetComment =
    "# not every part was made: the parts do not join into the file of the last line";
// And this one when every part was made: it tells `verify` that the next line is the whole file,
// which is not there until a join makes it.
inline constexpr const char *kWholeFileComment = "# the whole file, which the parts above join into:";

// A list saved by a Windows editor may begin with a UTF-8 byte-order mark; every reader skips it.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct ChecksumEntry {
    digest::Sha256Digest digest{};
    std::string name;
    // The line follows a comment that says it is the whole file of a set: a join makes it.
    bool wholeFile = false;
};

std::string checksumLine(const digest::Sha256Digest &digest, const std::string &name);
// One line without its LF (a CR before it is dropped, as sha256sum does); nothing when it is
// not a SHA-256 line.
std::optional<ChecksumEntry> parseChecksumLine(std::string_view line);

// Reads a checksum list line by line from an open file, holding one line at most.
class ChecksumReader {
public:
    enum class Line { Entry, Malformed, End };

    explicit ChecksumReader(fileio::File &file);

    // The next entry, skipping empty lines and comments. Returns 0 or the errno of a failed read.
    [[nodiscard]] int next(Line &kind, ChecksumEntry &entry);
    // Whether a comment read so far says that the parts do not make the whole file.
    bool incompleteSet() const { return m_incomplete; }

private:
    // The next byte, or -1 at the end of the file; err receives a read failure. peekByte leaves it
    // unread.
    int peekByte(int &err);
    int take(int &err);

    fileio::File &m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_position = 0;
    std::size_t m_length = 0;
    bool m_started = false;
    bool m_incomplete = false;
    bool m_wholeNext = false; // the last comment read names the next line the whole file
};

} // namespace lists
