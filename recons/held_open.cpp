#include "held_open.h"

#include "ops/file.h"

#include <charconv>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>

namespace recons {

namespace {

// The descriptor an entry of /proc/self/fd stands for, or -1 for "." and "..".
int descriptorOf(std::string_view entry)
{
    int fd = -1;
    const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), fd);
    return error == std::errc() && end == entry.data() + entry.size() ? fd : -1;
}

} // namespace

bool isHeldOpen(const std::string &path)
{
    const auto id = ops::fileId(path);
    if (!id)
        return false;
    DIR *dir = ::opendir("/proc/self/fd");
    if (!dir)
        return false;
    bool held = false;
    while (const dirent *entry = ::readdir(dir)) {
        const int fd = descriptorOf(entry->d_name);
        struct stat st {};
        if (fd < 0 || fd == ::dirfd(dir) || ::fstat(fd, &st) != 0)
            continue;
        if (ops::FileId{st.st_dev, st.st_ino} == *id) {
            held = true;
            break;
        }
    }
    ::closedir(dir);
    return held;
}

} // namespace recons
