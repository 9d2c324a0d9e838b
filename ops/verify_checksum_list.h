// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/copy_progress.h"

#include <functional>
#include <string>

namespace ops {

// What checking one line of a checksum list found.
struct ListedFile {
    enum class Verdict {
        Whole,      // its bytes give the listed digest
        Damaged,    // they do not
        Missing,    // no file of that name
        Unreadable, // it could not be read: err tells why (kChanged: it changed while it was read)
        NotALine,   // the line is not a SHA-256 line; name holds its number
        NotMadeYet, // the whole file of a set, which a join makes, is not there
    };
    std::string name;
    Verdict verdict = Verdict::Whole;
    int err = 0;
};

// Checks every file a checksum list names, relative to the list's folder (a name from the root as
// it stands), one after the other, telling each as it is done. Every line is checked alike; only
// the line of a set's whole file (marked so by the comment Cut writes before it, or, in a list
// written before there was one, the line after the parts of the part list beside it) may name a
// file that is not there yet. `progress` hears each file's bytes and may stop the check (Stopped).
// Returns 0, or the errno of a failure to open or read the list itself, or
// fileio::kNotRegularFile for a list that is not a regular file.
[[nodiscard]] int verifyChecksumList(const std::string &listPath, const std::function<void(const ListedFile &)> &tell,
                                     fileio::CopyProgress *progress = nullptr);

// True for the verdicts that make a set unfit to join.
bool isFault(ListedFile::Verdict verdict);

} // namespace ops
