#include "hashed_copy.h"

#include "block_hashers.h"
#include "progress.h"

#include <algorithm>
#include <memory>

namespace ops {

namespace {

// Large enough that handing a block to the hashers costs nothing worth measuring.
constexpr std::size_t kBlock = std::size_t{1} << 20;

// The hashers may still read the last block: the buffers outlive them by this guard.
struct HashersDone {
    BlockHashers &hashers;
    ~HashersDone() { hashers.wait(); }
};

} // namespace

CopyResult copyHashed(File &in, std::int64_t inOffset, File *out, std::int64_t length, BlockHashers &hashers,
                      ProgressSink *progress)
{
    const auto blockSize = static_cast<std::size_t>(std::clamp<std::int64_t>(length, 1, kBlock));
    std::unique_ptr<char[]> buffers[2] = {std::make_unique<char[]>(blockSize), std::make_unique<char[]>(blockSize)};
    const HashersDone done{hashers};

    const std::int64_t total = length;
    for (int turn = 0; length > 0; turn ^= 1) {
        char *block = buffers[turn].get();
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length, blockSize));
        std::size_t got = 0;
        if (const int err = in.readAt(block, want, inOffset, got))
            return {CopyResult::Status::ReadFailed, err};
        if (got == 0)
            return {CopyResult::Status::EndOfInput, 0};
        hashers.post(block, got);
        if (out) {
            if (const int err = out->write(block, got))
                return {CopyResult::Status::WriteFailed, err};
        }
        inOffset += static_cast<std::int64_t>(got);
        length -= static_cast<std::int64_t>(got);
        if (progress)
            progress->partway(total - length, total);
    }
    return {};
}

} // namespace ops
