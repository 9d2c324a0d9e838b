// SPDX-License-Identifier: GPL-3.0-or-later
#include "erase.h"

#include "progress.h"

#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/io_error.h"

#include <algorithm>
#include <memory>

namespace ops {

namespace {

void check(int err)
{
    if (err != 0)
        fileio::failErrno(err);
}

// Writes size zero bytes from the file's first byte on, in blocks, leaving its length alone.
void overwrite(fileio::File &file, std::int64_t size, ProgressSink &progress)
{
    const auto blockSize = static_cast<std::size_t>(std::min<std::int64_t>(size, fileio::kMaxBuffer));
    const std::unique_ptr<unsigned char[]> zeros(new unsigned char[blockSize]());
    while (size > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(size, blockSize));
        check(file.write(zeros.get(), n));
        size -= static_cast<std::int64_t>(n);
        progress.step(static_cast<std::int64_t>(n));
    }
}

} // namespace

int Erase(const std::string &path, ProgressSink &progress)
{
    if (!fileio::fileExists(path))
        fileio::reportError(fileio::kInvalidFileName);

    fileio::File file;
    check(fileio::openForReadWrite(path, file));
    std::int64_t size = 0;
    check(file.size(size));
    progress.setMaximum(size);
    overwrite(file, size, progress);
    // Zeros still in the cache when the file is removed may never reach the device at all.
    check(file.sync());
    progress.reset();
    check(file.close());
    return fileio::removeFile(path);
}

} // namespace ops
