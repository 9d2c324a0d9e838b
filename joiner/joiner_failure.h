// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/io_error.h"

#include <cstdint>

namespace joiner {

// A failed file or console step: ends the joiner with the I/O error report.
struct JoinerFailure {
    fileio::IoError error;
    // Identifies the failing step in the report: the code address it failed at.
    std::uint32_t where;
};

// Throws JoinerFailure for this error, naming the caller's code address as the failing step.
[[noreturn]] void failStep(const fileio::IoError &error);
[[noreturn]] void failStep(int err);

} // namespace joiner
