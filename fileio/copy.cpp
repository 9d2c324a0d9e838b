// SPDX-License-Identifier: GPL-3.0-or-later
#include "copy.h"

#include "copy_progress.h"

#include <algorithm>
#include <memory>

namespace fileio {

namespace {

// One kernel copy call moves at most this much, so progress and repaints keep coming.
constexpr std::size_t kRangeChunk = std::size_t{8} << 20;

CopyResult copyThroughBuffer(File &in, std::int64_t offset, File &out, std::int64_t length, std::int64_t total,
                             CopyProgress *progress)
{
    const auto bufferSize = static_cast<std::size_t>(std::min<std::int64_t>(length, kMaxBuffer));
    std::unique_ptr<char[]> buffer(new char[bufferSize]);
    while (length > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length, bufferSize));
        std::size_t got = 0;
        if (const int err = in.readAt(buffer.get(), want, offset, got))
            return {CopyResult::Status::ReadFailed, err};
        if (got == 0)
            return {CopyResult::Status::EndOfInput, 0};
        if (const int err = out.write(buffer.get(), got))
            return {CopyResult::Status::WriteFailed, err};
        offset += static_cast<std::int64_t>(got);
        length -= static_cast<std::int64_t>(got);
        if (!reportPartway(progress, total - length, total))
            return {CopyResult::Status::Stopped, 0};
    }
    return {};
}

} // namespace

CopyResult copyBytes(File &in, std::int64_t inOffset, File &out, std::int64_t length, CopyProgress *progress)
{
    const std::int64_t total = length;
    while (length > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(length, kRangeChunk));
        std::size_t copied = 0;
        if (copyRange(in, inOffset, out, want, copied) != 0 || copied == 0) {
            // The kernel cannot do it (or says nothing is left, which some file systems say
            // instead): the buffered copy tells a read failure from a write failure and an
            // early end of the input, and works for every kind of file.
            return copyThroughBuffer(in, inOffset, out, length, total, progress);
        }
        length -= static_cast<std::int64_t>(copied);
        if (!reportPartway(progress, total - length, total))
            return {CopyResult::Status::Stopped, 0};
    }
    return {};
}

} // namespace fileio
