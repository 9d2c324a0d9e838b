// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "name_limit.h"

#include "fileio/file.h"

#include <cstddef>
#include <memory>
#include <string>

namespace lists {

// A list that could not be read: the system's error number of the failed read. The list readers
// throw it; each program says it in its own way.
struct ListReadError {
    int err;
};

// Reads the part list as text: a line ends at CR, and an LF right after that CR belongs to the
// line end; any other LF is part of the name. Ctrl-Z or the end of the file ends the text. A
// byte-order mark at the start is passed over. A failed read throws ListReadError.
class PartListReader {
public:
    explicit PartListReader(fileio::File &file);

    // True when nothing but the end of the text is left.
    bool atEnd();
    // The next line, without its line end.
    std::string readLine();

private:
    // The next byte without taking it, or -1 at the end of the file.
    int peek();
    // Reads the next block; false at the end of the file.
    bool fill();
    void take() { ++m_position; }

    fileio::File &m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_position = 0;
    std::size_t m_length = 0;
    bool m_started = false;
};

} // namespace lists
