// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

namespace fileio {

// A system error number that has a report text of its own, and the number shown for it:
// 2 "File not found", 3 "Invalid filename", 4 "Too many open files", 5 "File access denied",
// 101 "Disk full".
struct SystemError {
    int err;
    int shown;
};

// The table for the system the file layer is built for; every other number is shown as it is.
std::span<const SystemError> namedSystemErrors();

} // namespace fileio
