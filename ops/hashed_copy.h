#pragma once

#include "copy.h"

#include <cstdint>

namespace ops {

class BlockHashers;
class ProgressSink;

// Copies like copyBytes and feeds every byte copied, in order, to `hashers`; with no `out` it
// only reads and hashes. The kernel copies each block where it can, and the block is then read
// back from the page cache into one of two buffers in turn, so the next block is copied while
// the hashers take in the one before. Every block has been hashed when it returns.
CopyResult copyHashed(File &in, std::int64_t inOffset, File *out, std::int64_t length, BlockHashers &hashers,
                      ProgressSink *progress = nullptr);

} // namespace ops
