#include "write_recons.h"

#include "recons_image.h"

#include "ops/copy.h"
#include "ops/file.h"
#include "ops/ioerror.h"

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

void WriteRecons(const std::optional<ops::FileId> &keep)
{
    if (keep && ops::fileId(kReconsName) == keep)
        ops::failErrno(EACCES);
    ops::File file;
    if (const int err = ops::createFile(kReconsName, file, kExecutable))
        ops::failErrno(err);
    // Emptying an existing file keeps its mode, which may lack the execute bits.
    if (const int err = file.setPermissions(kExecutable & ~currentUmask()))
        ops::failErrno(err);

    const std::span<const unsigned char> image = ReconsImage();
    for (std::size_t done = 0; done < image.size();) {
        const std::size_t n = std::min(image.size() - done, ops::kMaxBuffer);
        if (const int err = file.write(image.data() + done, n))
            ops::failErrno(err);
        done += n;
    }
    if (const int err = file.close())
        ops::failErrno(err);
}

} // namespace recons
