// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "copy.h"

#include <cstdint>

// Copies from and to streams: bytes read in order from where a stream stands (standard input, a
// pipe), or written in order to one (standard output), whose size nobody knows beforehand.
namespace fileio {

// Copies up to `length` bytes of the stream `in`, from where it stands, to the current position of
// `out`: fewer only where the stream ends, `copied` telling how many. The kernel moves them where
// it can (splice from a pipe, copy_file_range from a file), one buffer of at most kMaxBuffer
// otherwise. `progress` hears how far the copy is between blocks, and may stop it there.
CopyResult copyFromStream(File &in, File &out, std::int64_t length, std::int64_t &copied,
                          CopyProgress *progress = nullptr);

// Copies length bytes of `in`, from inOffset on, to the stream `out` (a pipe, a terminal, a file),
// as copyBytes does to a file; the kernel sends them where it can (sendfile).
CopyResult copyToStream(File &in, std::int64_t inOffset, File &out, std::int64_t length,
                        CopyProgress *progress = nullptr);

} // namespace fileio
