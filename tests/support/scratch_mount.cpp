// SPDX-License-Identifier: GPL-3.0-or-later
#include "scratch_mount.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

ScratchMount::ScratchMount(const std::string &path, const std::string &size) : m_path(path)
{
    ::mkdir(path.c_str(), 0755);
    const std::string options = "size=" + size;
    m_mounted = ::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
    m_error = m_mounted ? 0 : errno;
}

ScratchMount::ScratchMount(const std::string &path, Vfat fat) : m_path(path)
{
    ::mkdir(path.c_str(), 0755);
    const std::string image = path + ".img";
    const std::string make = "mkfs.vfat -C '" + image + "' " + std::to_string(fat.kib) + " >/dev/null 2>&1";
    const std::string mount = "mount -t vfat -o loop '" + image + "' '" + path + "' >/dev/null 2>&1";
    m_mounted = std::system(make.c_str()) == 0 && std::system(mount.c_str()) == 0;
    m_error = m_mounted ? 0 : ENODEV;
}

ScratchMount::~ScratchMount()
{
    if (m_mounted)
        ::umount2(m_path.c_str(), MNT_DETACH);
}

std::string ScratchMount::why() const
{
    return std::strerror(m_error);
}

bool ScratchMount::makeReadOnly()
{
    if (::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        m_error = errno;
        return false;
    }
    // Even root may not create a file there now.
    const std::string probe = m_path + "/.probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.c_str());
        m_error = EEXIST;
        return false;
    }
    return true;
}

ScopedImmutable::ScopedImmutable(const std::string &path) : m_path(path)
{
    m_set = setFlag(true);
}

ScopedImmutable::~ScopedImmutable()
{
    if (m_set)
        setFlag(false);
}

std::string ScopedImmutable::why() const
{
    return std::strerror(m_error);
}

bool ScopedImmutable::setFlag(bool on)
{
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    m_error = ok ? 0 : errno;
    ::close(fd);
    return ok;
}

} // namespace testsupport
