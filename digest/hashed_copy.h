// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/copy.h"

#include <cstdint>

namespace digest {

class BlockHashers;

// Copies like copyBytes and feeds every byte copied, in order, to `hashers`; with no `out` it
// only reads and hashes. The kernel copies each block where it can, and the block is then read
// back from the page cache into one of two buffers in turn, so the next block is copied while
// the hashers take in the one before. Every block has been hashed when it returns.
fileio::CopyResult copyHashed(fileio::File &in, std::int64_t inOffset, fileio::File *out, std::int64_t length,
                              BlockHashers &hashers, fileio::CopyProgress *progress = nullptr);

// Copies up to `length` bytes of the stream `in`, from where it stands, to `out` as
// fileio::copyFromStream does, through two buffers in turn, and feeds every byte copied to
// `hashers`. Every block has been hashed when it returns.
fileio::CopyResult copyStreamHashed(fileio::File &in, fileio::File &out, std::int64_t length, std::int64_t &copied,
                                    BlockHashers &hashers, fileio::CopyProgress *progress = nullptr);

} // namespace digest
