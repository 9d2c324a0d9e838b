// SPDX-License-Identifier: GPL-3.0-or-later
#include "erase.h"

#include "progress.h"
#include "report_error.h"

#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/io_error.h"

#include <algorithm>
#include <memory>

namespace ops {

namespace {

constexpr const char *kSymbolicLink = "a symbolic link: the file it leads to would be zeroed and kept";
constexpr const char *kHardLinked = "it has other names (hard links), which would keep the zeros";

void check(int err, const std::string &path)
{
    if (err != 0)
        fileio::failErrno(err, path);
}

// Writes size zero bytes from the file's first byte on, in blocks, leaving its length alone.
void overwrite(fileio::File &file, const std::string &path, std::int64_t size, ProgressSink &progress)
{
    const auto blockSize = static_cast<std::size_t>(std::min<std::int64_t>(size, fileio::kMaxBuffer));
    const std::unique_ptr<unsigned char[]> zeros(new unsigned char[blockSize]());
    while (size > 0) {
        if (progress.stopRequested())
            throw Stopped();
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(size, blockSize));
        check(file.write(zeros.get(), n), path);
        size -= static_cast<std::int64_t>(n);
        progress.step(static_cast<std::int64_t>(n));
    }
}

} // namespace

int Erase(const std::string &path, ProgressSink &progress)
{
    // Only the file itself is erased: through a link, or under one of several names, the zeros
    // would reach a file that stays.
    if (fileio::isSymbolicLink(path))
        reportError(kInvalidFileName, path, 0, kSymbolicLink);
    if (!fileio::fileExists(path))
        reportNoFile(path);

    fileio::File file;
    check(fileio::openForReadWrite(path, file), path);
    fileio::FileState state;
    check(file.state(state), path);
    if (state.links > 1)
        reportError(kInvalidFileName, path, 0, kHardLinked);
    progress.setMaximum(state.size);
    overwrite(file, path, state.size, progress);
    // Zeros still in the cache when the file is removed may never reach the device at all.
    check(file.sync(), path);
    progress.reset();
    check(file.close(), path);
    return fileio::removeFile(path);
}

} // namespace ops
