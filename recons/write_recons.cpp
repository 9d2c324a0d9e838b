// SPDX-License-Identifier: GPL-3.0-or-later
#include "write_recons.h"

#include "close_output.h"
#include "recons_image.h"

#include "fileio/copy.h"
#include "fileio/file.h"
#include "fileio/io_error.h"

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace recons {

namespace {

constexpr mode_t kExecutable = 0777;

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

void WriteRecons(const fileio::FileIds &keep, bool toDevice, JoinerPlatform platform)
{
    fileio::File file;
    if (const int err = fileio::createFile(kReconsName, file, keep, kExecutable))
        fileio::failErrno(err == fileio::kKeptFile ? EACCES : err);
    // Emptying an existing file keeps its mode, which may lack the execute bits.
    if (const int err = file.setPermissions(kExecutable & ~currentUmask()))
        fileio::failErrno(err);

    const std::span<const unsigned char> image = ReconsImage(platform);
    for (std::size_t done = 0; done < image.size();) {
        const std::size_t n = std::min(image.size() - done, fileio::kMaxBuffer);
        if (const int err = file.write(image.data() + done, n))
            fileio::failErrno(err);
        done += n;
    }
    closeOutput(file, toDevice);
}

} // namespace recons
