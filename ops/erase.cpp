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
#include <optional>

namespace ops {

namespace {

constexpr const char *kSymbolicLink = "a symbolic link: the file it leads to would be zeroed and kept";
constexpr const char *kHardLinked = "it has other names (hard links), which would keep the zeros";
constexpr const char *kGrew = "it changed while it was overwritten, so it was kept";

void check(int err, const std::string &path)
{
    if (err != 0)
        fileio::failErrno(err, path);
}

// Writes size zero bytes from the file's first byte on, in blocks, leaving its length alone. A
// stop ends it between two blocks and says how far it came: what is overwritten cannot be undone.
void overwrite(fileio::File &file, const std::string &path, std::int64_t size, ProgressSink &progress)
{
    const auto blockSize = static_cast<std::size_t>(std::min<std::int64_t>(size, fileio::kMaxBuffer));
    const std::unique_ptr<unsigned char[]> zeros(new unsigned char[blockSize]());
    for (std::int64_t done = 0; done < size;) {
        if (progress.stopRequested())
            throw done == 0 ? Stopped() : Stopped(Stopped::Left::PartlyErased, path, done);
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(size - done, blockSize));
        check(file.write(zeros.get(), n), path);
        done += static_cast<std::int64_t>(n);
        progress.step(static_cast<std::int64_t>(n));
    }
}

} // namespace

int Erase(const std::string &path, ProgressSink &progress)
{
    // Only the file itself is erased: through a link, or under one of several names, the zeros
    // would reach a file that stays. The checks are made on the file opened, which is the one
    // zeroed and then removed.
    if (fileio::isSymbolicLink(path))
        reportError(kInvalidFileName, path, 0, kSymbolicLink);
    if (!fileio::fileExists(path))
        reportNoFile(path);

    fileio::File file;
    if (const int err = fileio::openForReadWrite(path, file, fileio::Links::Refuse)) {
        if (err == fileio::kSymbolicLink)
            reportError(kInvalidFileName, path, 0, kSymbolicLink);
        if (err == fileio::kNotRegularFile)
            reportError(kInvalidFileName, path, 0, fileio::errorText(err));
        check(err, path);
    }
    fileio::FileState state;
    check(file.state(state), path);
    if (state.links > 1)
        reportError(kInvalidFileName, path, 0, kHardLinked);
    const std::optional<fileio::FileId> id = fileio::fileId(file);
    progress.setMaximum(state.size);
    progress.setByteTotal(state.size);
    overwrite(file, path, state.size, progress);
    // The point of no return: every byte is zero, so the run ends as asked, whatever a stop says.
    // Bytes added meanwhile were not overwritten: the file stays, as it would after a failure.
    fileio::FileState now;
    check(file.state(now), path);
    if (now.size != state.size)
        throw fileio::Failure(fileio::IoErrorReport(fileio::IoError::fromErrno(fileio::kChanged)), path, 0, kGrew);
    // Zeros still in the cache when the file is removed may never reach the device at all.
    check(file.sync(), path);
    progress.reset();
    // A second handle outlives the close: a name gone at the removal is no removal when the file
    // zeroed still has a name elsewhere (moved away meanwhile), which this handle tells.
    fileio::File held = file.duplicate();
    check(file.close(), path);
    // Removed only while the name still leads to the file zeroed.
    int err = id ? fileio::removeIfStill(path, *id) : fileio::kChanged;
    fileio::FileState left;
    if (err == ENOENT && !(held.isOpen() && held.state(left) == 0 && left.links == 0))
        err = fileio::kChanged;
    return err;
}

} // namespace ops
