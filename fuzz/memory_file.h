// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/file.h"

#include <string_view>

namespace fuzz {

// Ends the run with the broken invariant named, so that libFuzzer keeps the input that broke it.
void require(bool condition, const char *what);

// A file in memory that the readers take like any other, refilled for every input: one descriptor
// for the whole run, since a file per input would cost more system calls than the reading itself.
class MemoryFile {
public:
    explicit MemoryFile(const char *name);

    // The file, holding exactly these bytes and open at its start, until the next fill.
    fileio::File &fill(std::string_view bytes);

private:
    fileio::File m_file;
};

} // namespace fuzz
