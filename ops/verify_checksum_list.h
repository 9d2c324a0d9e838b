// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace ops {

// What checking one line of a checksum list found.
struct ListedFile {
    enum class Verdict {
        Whole,      // its bytes give the listed digest
        Damaged,    // they do not
        Missing,    // no file of that name
        Unreadable, // it could not be read: err tells why
        NotALine,   // the line is not a SHA-256 line; name holds its number
        NotMadeYet, // the last line, the whole file, is not there: joining makes it
    };
    std::string name;
    Verdict verdict = Verdict::Whole;
    int err = 0;
};

// Checks every file a checksum list names, relative to the list's folder (a name from the root as
// it stands), one after the other, telling each as it is done. The last line is the whole file a
// join makes: its absence is no fault. Returns 0, or the errno of a failure to open or read the
// list itself, or fileio::kNotRegularFile for a list that is not a regular file.
[[nodiscard]] int verifyChecksumList(const std::string &listPath, const std::function<void(const ListedFile &)> &tell);

// True for the verdicts that make a set unfit to join.
bool isFault(ListedFile::Verdict verdict);

} // namespace ops
