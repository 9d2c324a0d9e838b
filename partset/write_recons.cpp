// SPDX-License-Identifier: GPL-3.0-or-later
#include "write_recons.h"

#include "recons_image.h"
#include "lists/set_output.h"

#include "fileio/copy.h"
#include "fileio/io_error.h"

#include <algorithm>

namespace partset {

namespace {

constexpr mode_t kExecutable = 0777;

} // namespace

fileio::AtomicOutput writeJoiner(const std::string &folder, const fileio::FileIds &keep, JoinerPlatform platform,
                                 fileio::AtomicOutput::Existing existing)
{
    const std::string path = folder + joinerFileName(platform);
    fileio::AtomicOutput output = lists::openSetOutput(path, keep, existing, kExecutable);
    // A replaced file's mode is kept, and it may lack the execute bits a joiner needs.
    if (const int err = output.file().setPermissions(kExecutable & ~fileio::currentUmask()))
        fileio::failErrno(err, path);

    const std::span<const unsigned char> image = ReconsImage(platform);
    for (std::size_t done = 0; done < image.size();) {
        const std::size_t n = std::min(image.size() - done, fileio::kMaxBuffer);
        if (const int err = output.file().write(image.data() + done, n))
            fileio::failErrno(err, path);
        done += n;
    }
    return output;
}

void WriteRecons(const std::string &folder, const fileio::FileIds &keep, bool toDevice, JoinerPlatform platform,
                 fileio::AtomicOutput::Existing existing)
{
    fileio::AtomicOutput output = writeJoiner(folder, keep, platform, existing);
    lists::finishSetOutput(folder + joinerFileName(platform), output.finish(keep, toDevice));
}

} // namespace partset
