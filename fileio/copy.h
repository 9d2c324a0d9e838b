// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "file.h"

#include <cstdint>

namespace fileio {

class CopyProgress;

// How a copy of a byte range ended.
struct CopyResult {
    enum class Status { Done, ReadFailed, WriteFailed, EndOfInput, Stopped };
    Status status = Status::Done;
    int err = 0; // errno for ReadFailed and WriteFailed

    bool ok() const { return status == Status::Done; }
};

// Largest amount of file data any operation holds in memory at once.
inline constexpr std::size_t kMaxBuffer = 1 << 20;

// Copies length bytes of `in`, from inOffset on, to the current position of `out`. The kernel
// moves the bytes where it can (copy_file_range); otherwise they go through one buffer of at most
// kMaxBuffer bytes. `progress`, when given, hears how far the copy is between blocks, and may stop
// it there.
CopyResult copyBytes(File &in, std::int64_t inOffset, File &out, std::int64_t length, CopyProgress *progress = nullptr);

} // namespace fileio
