// SPDX-License-Identifier: GPL-3.0-or-later
#include "file.h"

#include "fault.h"

#include <cerrno>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

namespace {

// Runs a system call unless a fault is injected for it; retries EINTR.
template <typename Call>
auto sysCall(SysCall kind, Call call) -> decltype(call())
{
    if (const int injected = faults::check(kind); injected >= 0) {
        const bool transfer = kind == SysCall::Read || kind == SysCall::Write || kind == SysCall::CopyRange;
        if (injected == 0 && transfer)
            return 0;
        errno = injected == 0 ? EIO : injected;
        return -1;
    }
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// Retries a call that fault injection leaves alone (a best-effort step, or one that follows a
// counted call on the same file).
template <typename Call>
auto retried(Call call) -> decltype(call())
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

int fdOf(const File &file)
{
    return static_cast<int>(file.handle());
}

int openWith(SysCall kind, const std::string &path, int flags, mode_t mode, File &file)
{
    const int fd = sysCall(kind, [&] { return ::open(path.c_str(), flags | O_CLOEXEC, mode); });
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

} // namespace

File &File::operator=(File &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(fdOf(*this));
        m_fd = other.release();
    }
    return *this;
}

File::~File()
{
    if (m_fd >= 0)
        ::close(fdOf(*this));
}

NativeHandle File::release()
{
    return std::exchange(m_fd, -1);
}

int File::close()
{
    const int fd = static_cast<int>(release());
    if (fd < 0)
        return 0;
    if (const int injected = faults::check(SysCall::Close); injected >= 0) {
        ::close(fd);
        return injected == 0 ? EIO : injected;
    }
    // The descriptor is gone after close, even on EINTR: never retry.
    if (::close(fd) < 0 && errno != EINTR)
        return errno;
    return 0;
}

namespace {

// Repeats a read call until n bytes or the end of the file; readSome(done) reads at byte done.
template <typename ReadSome>
int readFully(std::size_t n, std::size_t &got, ReadSome readSome)
{
    got = 0;
    while (got < n) {
        const ssize_t r = sysCall(SysCall::Read, [&] { return readSome(got); });
        if (r < 0)
            return errno;
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    return 0;
}

} // namespace

int File::read(void *buf, std::size_t n, std::size_t &got)
{
    auto *p = static_cast<char *>(buf);
    return readFully(n, got, [&](std::size_t done) { return ::read(fdOf(*this), p + done, n - done); });
}

int File::readAt(void *buf, std::size_t n, std::int64_t offset, std::size_t &got)
{
    auto *p = static_cast<char *>(buf);
    return readFully(n, got, [&](std::size_t done) {
        return ::pread(fdOf(*this), p + done, n - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    });
}

int File::write(const void *buf, std::size_t n)
{
    const auto *p = static_cast<const char *>(buf);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = sysCall(SysCall::Write, [&] { return ::write(fdOf(*this), p + done, n - done); });
        if (w < 0)
            return errno;
        if (w == 0)
            return ENOSPC;
        done += static_cast<std::size_t>(w);
    }
    return 0;
}

int File::seek(std::int64_t offset)
{
    const off_t r = sysCall(SysCall::Seek, [&] { return ::lseek(fdOf(*this), static_cast<off_t>(offset), SEEK_SET); });
    return r < 0 ? errno : 0;
}

int File::size(std::int64_t &bytes) const
{
    struct stat st {};
    if (sysCall(SysCall::Stat, [&] { return ::fstat(fdOf(*this), &st); }) < 0)
        return errno;
    bytes = st.st_size;
    return 0;
}

int File::ownership(Ownership &owned) const
{
    struct stat st {};
    if (sysCall(SysCall::Stat, [&] { return ::fstat(fdOf(*this), &st); }) < 0)
        return errno;
    owned = {st.st_uid, st.st_gid, static_cast<mode_t>(st.st_mode & 07777)};
    return 0;
}

int File::takeOwnership(const Ownership &owned)
{
    if (retried([&] { return ::fchown(fdOf(*this), owned.uid, owned.gid); }) < 0)
        retried([&] { return ::fchown(fdOf(*this), static_cast<uid_t>(-1), owned.gid); });
    return setPermissions(owned.bits);
}

int File::setPermissions(mode_t bits)
{
    return sysCall(SysCall::Chmod, [&] { return ::fchmod(fdOf(*this), bits); }) < 0 ? errno : 0;
}

void File::startWriteback(std::int64_t offset, std::int64_t n)
{
    ::sync_file_range(fdOf(*this), static_cast<off64_t>(offset), static_cast<off64_t>(n), SYNC_FILE_RANGE_WRITE);
}

int File::sync()
{
    return sysCall(SysCall::Fsync, [&] { return ::fsync(fdOf(*this)); }) < 0 ? errno : 0;
}

int File::syncData()
{
    return sysCall(SysCall::Fsync, [&] { return ::fdatasync(fdOf(*this)); }) < 0 ? errno : 0;
}

int openForReading(const std::string &path, File &file)
{
    return openWith(SysCall::Open, path, O_RDONLY, 0, file);
}

int openForReadWrite(const std::string &path, File &file)
{
    return openWith(SysCall::Open, path, O_RDWR, 0, file);
}

int createFile(const std::string &path, File &file, const FileIds &keep, mode_t mode)
{
    // A file made by this very call is none of those to keep, even when it has the number of one
    // removed meanwhile; only a file that was there already is compared, once it is open.
    constexpr int kFlags = O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    bool existed = false;
    const int fd = sysCall(SysCall::Create, [&] {
        const int made = ::open(path.c_str(), kFlags | O_EXCL, mode);
        existed = made < 0 && errno == EEXIST;
        return existed ? ::open(path.c_str(), kFlags, mode) : made;
    });
    if (fd < 0)
        return errno;
    File opened(fd);
    if (!existed) {
        // New, so empty and regular: O_NONBLOCK means nothing to it.
        file = std::move(opened);
        return 0;
    }
    struct stat st {};
    if (::fstat(fdOf(opened), &st) < 0)
        return errno;
    if (keep.contains(FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}))
        return kKeptFile;
    // O_NONBLOCK only kept the open from waiting for a FIFO's reader; writes wait as usual.
    const int flags = ::fcntl(fdOf(opened), F_GETFL);
    if (flags < 0 || ::fcntl(fdOf(opened), F_SETFL, flags & ~O_NONBLOCK) < 0)
        return errno;
    if (S_ISREG(st.st_mode) && st.st_size > 0 && retried([&] { return ::ftruncate(fdOf(opened), 0); }) < 0)
        return errno;
    file = std::move(opened);
    return 0;
}

bool isRegularFile(const File &file)
{
    struct stat st {};
    return ::fstat(fdOf(file), &st) == 0 && S_ISREG(st.st_mode);
}

int syncDirectory(const std::string &directory)
{
    File folder;
    const std::string path = directory.empty() ? "." : directory;
    if (const int err = openWith(SysCall::Open, path, O_RDONLY | O_DIRECTORY, 0, folder))
        return err;
    if (const int err = folder.sync())
        return err;
    return folder.close();
}

int createTemporaryFile(const std::string &directory, std::string &path, File &file)
{
    std::string name = directory + ".skarvel-XXXXXX";
    const int fd = sysCall(SysCall::Create, [&] { return ::mkostemp(name.data(), O_CLOEXEC); });
    if (fd < 0)
        return errno;
    file = File(fd);
    path = name;
    return 0;
}

int removeFile(const std::string &path)
{
    return sysCall(SysCall::Remove, [&] { return ::unlink(path.c_str()); }) < 0 ? errno : 0;
}

int renameFile(const std::string &from, const std::string &to)
{
    return sysCall(SysCall::Rename, [&] { return ::rename(from.c_str(), to.c_str()); }) < 0 ? errno : 0;
}

int makeDirectories(const std::string &path, std::vector<std::string> *made)
{
    std::string prefix;
    prefix.reserve(path.size());
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') {
            prefix += path[i];
            continue;
        }
        if (!prefix.empty() && prefix != "." && prefix != "..") {
            const int r = sysCall(SysCall::Mkdir, [&] { return ::mkdir(prefix.c_str(), 0777); });
            if (r < 0 && errno != EEXIST)
                return errno;
            if (r == 0 && made)
                made->push_back(prefix);
        }
        if (i < path.size())
            prefix += '/';
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) < 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

int removeDirectory(const std::string &path)
{
    return sysCall(SysCall::Remove, [&] { return ::rmdir(path.c_str()); }) < 0 ? errno : 0;
}

int resolvePath(const std::string &path, std::string &resolved)
{
    char *full = nullptr;
    if (path.empty())
        return ENOENT;
    if (sysCall(SysCall::Stat, [&] { return (full = ::realpath(path.c_str(), nullptr)) ? 0 : -1; }) < 0)
        return errno;
    resolved = full;
    std::free(full);
    return 0;
}

bool fileExists(const std::string &path)
{
    struct stat st {};
    if (path.empty() || sysCall(SysCall::Stat, [&] { return ::stat(path.c_str(), &st); }) < 0)
        return false;
    return S_ISREG(st.st_mode);
}

std::optional<FileId> fileId(const std::string &path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) < 0)
        return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<FileId> fileId(const File &file)
{
    struct stat st {};
    if (::fstat(fdOf(file), &st) < 0)
        return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

int invalidNameError()
{
    return ENAMETOOLONG;
}

std::string namePart(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string directoryPart(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int copyRange(File &in, std::int64_t &inOffset, File &out, std::size_t n, std::size_t &copied)
{
    copied = 0;
    loff_t offset = inOffset;
    const ssize_t r = sysCall(SysCall::CopyRange, [&] {
        return ::copy_file_range(fdOf(in), &offset, fdOf(out), nullptr, n, 0);
    });
    if (r < 0)
        return errno;
    copied = static_cast<std::size_t>(r);
    inOffset += r;
    return 0;
}

} // namespace fileio
