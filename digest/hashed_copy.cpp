// SPDX-License-Identifier: GPL-3.0-or-later
#include "hashed_copy.h"

#include "block_hashers.h"

#include "fileio/copy_progress.h"

#include <algorithm>
#include <memory>

namespace digest {

using fileio::CopyResult;

namespace {

// Large enough that handing a block to the hashers costs nothing worth measuring.
constexpr std::size_t kBlock = std::size_t{1} << 20;

// Moves up to n bytes in the kernel, as far as it goes; false once it cannot (the caller then
// writes the rest itself, which also tells what failed).
bool kernelCopy(fileio::File &in, std::int64_t offset, fileio::File &out, std::size_t n, std::size_t &moved)
{
    moved = 0;
    while (moved < n) {
        std::size_t copied = 0;
        if (fileio::copyRange(in, offset, out, n - moved, copied) != 0 || copied == 0)
            return false;
        moved += copied;
    }
    return true;
}

// As many blocks as may be on their way to the hashers, taken in turn.
class Buffers {
public:
    explicit Buffers(std::size_t size) : m_size(size), m_bytes(std::make_unique<char[]>(size * BlockHashers::kInFlight))
    {
    }
    char *operator[](std::size_t turn) { return m_bytes.get() + (turn % BlockHashers::kInFlight) * m_size; }

private:
    std::size_t m_size;
    std::unique_ptr<char[]> m_bytes;
};

// The hashers may still read the last block: the buffers outlive them by this guard.
struct HashersDone {
    BlockHashers &hashers;
    ~HashersDone() { hashers.wait(); }
};

} // namespace

fileio::CopyResult copyHashed(fileio::File &in, std::int64_t inOffset, fileio::File *out, std::int64_t length,
                              BlockHashers &hashers, fileio::CopyProgress *progress)
{
    const auto blockSize = static_cast<std::size_t>(std::clamp<std::int64_t>(length, 1, kBlock));
    Buffers buffers(blockSize);
    const HashersDone done{hashers};

    const std::int64_t total = length;
    bool kernel = out != nullptr;
    for (std::size_t turn = 0; length > 0; ++turn) {
        char *block = buffers[turn];
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length, blockSize));
        // The kernel copies the block, then it is read back from the page cache for the hashers:
        // cheaper than writing it out from the buffer.
        std::size_t moved = 0;
        if (kernel)
            kernel = kernelCopy(in, inOffset, *out, want, moved);
        std::size_t got = 0;
        if (const int err = in.readAt(block, want, inOffset, got))
            return {CopyResult::Status::ReadFailed, err};
        if (got == 0 || got < moved)
            return {CopyResult::Status::EndOfInput, 0};
        hashers.post(block, got);
        if (out && moved < got) {
            if (const int err = out->write(block + moved, got - moved))
                return {CopyResult::Status::WriteFailed, err};
        }
        inOffset += static_cast<std::int64_t>(got);
        length -= static_cast<std::int64_t>(got);
        if (progress) {
            progress->partway(total - length, total);
            if (length > 0 && progress->stopRequested())
                return {CopyResult::Status::Stopped, 0};
        }
    }
    return {};
}

fileio::CopyResult copyStreamHashed(fileio::File &in, fileio::File &out, std::int64_t length, std::int64_t &copied,
                                    BlockHashers &hashers, fileio::CopyProgress *progress)
{
    const auto blockSize = static_cast<std::size_t>(std::clamp<std::int64_t>(length, 1, kBlock));
    Buffers buffers(blockSize);
    const HashersDone done{hashers};
    fileio::widenPipe(in);
    copied = 0;
    for (std::size_t turn = 0; copied < length; ++turn) {
        char *block = buffers[turn];
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length - copied, blockSize));
        std::size_t got = 0;
        if (const int err = in.read(block, want, got))
            return {CopyResult::Status::ReadFailed, err};
        if (got > 0)
            hashers.post(block, got);
        if (const int err = out.write(block, got))
            return {CopyResult::Status::WriteFailed, err};
        copied += static_cast<std::int64_t>(got);
        if (got < want)
            return {}; // the stream ended
        if (progress) {
            progress->partway(copied, length);
            if (copied < length && progress->stopRequested())
                return {CopyResult::Status::Stopped, 0};
        }
    }
    return {};
}

} // namespace digest
