// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_system.h"

#include "sys_call.h"

#include <string_view>

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace fileio {

namespace {

// statfs's f_type of the file systems with rules (linux/magic.h; ntfs3 has its own). FUSE's is
// left out: it is NTFS through ntfs-3g, but as well sshfs and others whose names are free.
constexpr std::uint64_t kFatType = 0x4d44;
constexpr std::uint64_t kExFatType = 0x2011BAB0;
constexpr std::uint64_t kNtfsType = 0x5346544e;
constexpr std::uint64_t kNtfs3Type = 0x7366746e;

constexpr std::int64_t kFatLargestFile = (std::int64_t{4} << 30) - 1;

} // namespace

FileSystemRules rulesOfType(std::uint64_t type)
{
    switch (type) {
    case kFatType:
        return {"FAT", kFatLargestFile, true};
    case kExFatType:
        return {"exFAT", 0, true};
    case kNtfsType:
    case kNtfs3Type:
        return {"NTFS", 0, true};
    default:
        return {};
    }
}

int fileSystemRules(const std::string &directory, FileSystemRules &rules)
{
    rules = {};
    if (const std::uint64_t faked = faults::fakedFileSystemType()) {
        rules = rulesOfType(faked);
        return 0;
    }
    const std::string path = directory.empty() ? "." : directory;
    if (holdsNul(path))
        return ENOENT;
    // A path descriptor needs no right to read the folder, which creating files in it does not.
    const int fd = retried([&] { return ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0)
        return errno;
    struct statfs fs {};
    const int result = retried([&] { return ::fstatfs(fd, &fs); });
    const int err = result < 0 ? errno : 0;
    static_cast<void>(::close(fd)); // a path descriptor: nothing was written through it
    if (err == 0)
        rules = rulesOfType(static_cast<std::uint64_t>(fs.f_type));
    return err;
}

char refusedNameCharacter(const std::string &name)
{
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return c;
    }
    return 0;
}

} // namespace fileio
