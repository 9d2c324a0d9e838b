// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream_copy.h"

#include "copy_progress.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace fileio {

namespace {

// One kernel call moves at most this much, so that progress and a stop are heard.
constexpr std::size_t kKernelChunk = std::size_t{8} << 20;

std::unique_ptr<char[]> bufferFor(std::int64_t length)
{
    return std::unique_ptr<char[]>(new char[static_cast<std::size_t>(std::clamp<std::int64_t>(length, 1, kMaxBuffer))]);
}

} // namespace

CopyResult copyFromStream(File &in, File &out, std::int64_t length, std::int64_t &copied, CopyProgress *progress)
{
    copied = 0;
    widenPipe(in);
    std::unique_ptr<char[]> buffer;
    while (copied < length) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length - copied, kKernelChunk));
        std::size_t got = 0;
        const int kernelErr = buffer ? EINVAL : spliceRange(in, out, want, got);
        if (kernelErr == EINTR) // a stop signal: a read in its place would wait on
            return {CopyResult::Status::ReadFailed, EINTR};
        if (kernelErr == 0) {
            if (got == 0)
                return {}; // the stream ended
        } else {
            // The kernel cannot move these bytes: the buffer tells a read failure from a write
            // failure.
            if (!buffer)
                buffer = bufferFor(length);
            const std::size_t piece = std::min<std::size_t>(want, kMaxBuffer);
            if (const int err = in.read(buffer.get(), piece, got))
                return {CopyResult::Status::ReadFailed, err};
            if (const int err = out.write(buffer.get(), got))
                return {CopyResult::Status::WriteFailed, err};
            if (got < piece) {
                copied += static_cast<std::int64_t>(got);
                return {};
            }
        }
        copied += static_cast<std::int64_t>(got);
        if (!reportPartway(progress, copied, length))
            return {CopyResult::Status::Stopped, 0};
    }
    return {};
}

CopyResult copyToStream(File &in, std::int64_t inOffset, File &out, std::int64_t length, CopyProgress *progress)
{
    const std::int64_t total = length;
    widenPipe(out);
    std::unique_ptr<char[]> buffer;
    while (length > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length, kKernelChunk));
        std::size_t got = 0;
        const int kernelErr = buffer ? EINVAL : sendRange(in, inOffset, out, want, got);
        if (kernelErr == EINTR) // a stop signal: a write in its place would wait on
            return {CopyResult::Status::WriteFailed, EINTR};
        if (kernelErr == 0 && got > 0) {
            length -= static_cast<std::int64_t>(got);
        } else {
            // Where the kernel cannot send them, or says nothing is left: the buffered copy tells
            // a read failure from a write failure and an early end of the input.
            if (!buffer)
                buffer = bufferFor(length);
            const std::size_t piece = std::min<std::size_t>(want, kMaxBuffer);
            if (const int err = in.readAt(buffer.get(), piece, inOffset, got))
                return {CopyResult::Status::ReadFailed, err};
            if (got == 0)
                return {CopyResult::Status::EndOfInput, 0};
            if (const int err = out.write(buffer.get(), got))
                return {CopyResult::Status::WriteFailed, err};
            inOffset += static_cast<std::int64_t>(got);
            length -= static_cast<std::int64_t>(got);
        }
        if (!reportPartway(progress, total - length, total))
            return {CopyResult::Status::Stopped, 0};
    }
    return {};
}

} // namespace fileio
