// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/file.h"

#include <string>

namespace cli {

// What -o - names: standard output.
inline constexpr const char *kStandardOutput = "-";

// Standard output as a file a join writes to; it stays open whatever becomes of the join.
class StandardOutput {
public:
    StandardOutput() : m_file(1) {}
    ~StandardOutput() { static_cast<void>(m_file.release()); }
    StandardOutput(const StandardOutput &) = delete;
    StandardOutput &operator=(const StandardOutput &) = delete;
    fileio::File &file() { return m_file; }

private:
    fileio::File m_file;
};

// `unite --list`: joins the parts a part list (info.txt) names, by the joiners' rules
// (lists::ListedSet), checked against the checksum list beside it unless `verify` is off. The
// output may be neither list nor any of the parts. Throws CommandFailure for a set that cannot
// be joined, and the operation's failures. An output of "-" is standard output.
void uniteByList(const std::string &listPath, const std::string &output, bool verify, bool quiet);

} // namespace cli
