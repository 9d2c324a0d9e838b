// SPDX-License-Identifier: GPL-3.0-or-later
#include "file.h"

#include "sys_call.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/sendfile.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fileio {

namespace {

int openWith(SysCall kind, const std::string &path, int flags, mode_t mode, File &file)
{
    if (holdsNul(path))
        return ENOENT;
    const int fd = sysCall(kind, [&] { return ::open(path.c_str(), flags | O_CLOEXEC, mode); });
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

// Opens without waiting (a FIFO's open would wait for a writer) and keeps the file only when it
// is a regular one; then reads and writes wait again as usual.
int openRegular(const std::string &path, int access, Links links, File &file)
{
    const int follow = links == Links::Refuse ? O_NOFOLLOW : 0;
    File opened;
    if (const int err = openWith(SysCall::Open, path, access | O_NONBLOCK | O_NOCTTY | follow, 0, opened)) {
        if (err == ELOOP && links == Links::Refuse && isSymbolicLink(path))
            return kSymbolicLink;
        return err == EISDIR ? kNotRegularFile : err; // a folder opened for writing
    }
    if (!isRegularFile(opened))
        return kNotRegularFile;
    const int flags = ::fcntl(fdOf(opened), F_GETFL);
    if (flags < 0 || ::fcntl(fdOf(opened), F_SETFL, flags & ~O_NONBLOCK) < 0)
        return errno;
    file = std::move(opened);
    return 0;
}

std::atomic<bool> g_stopWaiting{false};
static_assert(std::atomic<bool>::is_always_lock_free, "stopWaiting() runs in a signal handler");

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

File File::duplicate() const
{
    return File(::fcntl(fdOf(*this), F_DUPFD_CLOEXEC, 0));
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

// Writes all n bytes, through writeSome(done) for the rest after `done` of them; a write that
// takes none is a full device.
template <typename WriteSome>
int writeAll(std::size_t n, WriteSome writeSome)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = sysCall(SysCall::Write, [&] { return writeSome(done); });
        if (w < 0)
            return errno;
        if (w == 0)
            return ENOSPC;
        done += static_cast<std::size_t>(w);
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
    return writeAll(n, [&](std::size_t done) { return ::write(fdOf(*this), p + done, n - done); });
}

int File::writeAt(const void *buf, std::size_t n, std::int64_t offset)
{
    const auto *p = static_cast<const char *>(buf);
    return writeAll(n, [&](std::size_t done) {
        return ::pwrite(fdOf(*this), p + done, n - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    });
}

int File::setSize(std::int64_t bytes)
{
    const int r = sysCall(SysCall::Write, [&] { return ::ftruncate(fdOf(*this), static_cast<off_t>(bytes)); });
    return r < 0 ? errno : 0;
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

int File::state(FileState &now) const
{
    struct stat st {};
    if (sysCall(SysCall::Stat, [&] { return ::fstat(fdOf(*this), &st); }) < 0)
        return errno;
    now = stateOf(st);
    return 0;
}

void File::copyAttributesFrom(const std::string &path)
{
    const ssize_t length = ::llistxattr(path.c_str(), nullptr, 0);
    if (length <= 0)
        return;
    std::string names(static_cast<std::size_t>(length), '\0');
    const ssize_t listed = ::llistxattr(path.c_str(), names.data(), names.size());
    if (listed <= 0)
        return;
    names.resize(static_cast<std::size_t>(listed));
    names.push_back('\0'); // the list ends with one; a second keeps the walk within it
    std::vector<char> value;
    for (std::size_t at = 0; names[at] != '\0'; at = names.find('\0', at) + 1) {
        const char *name = names.c_str() + at;
        // A capability, like set-user-ID, belongs to the replaced program, not to new bytes.
        if (std::string_view(name) == "security.capability")
            continue;
        const ssize_t size = ::lgetxattr(path.c_str(), name, nullptr, 0);
        if (size < 0)
            continue;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::lgetxattr(path.c_str(), name, value.data(), value.size());
        if (got >= 0)
            static_cast<void>(::fsetxattr(fdOf(*this), name, value.data(), static_cast<std::size_t>(got), 0));
    }
}

int File::takeOwnership(const Ownership &owned)
{
    const bool both = retried([&] { return ::fchown(fdOf(*this), owned.uid, owned.gid); }) == 0;
    if (!both)
        retried([&] { return ::fchown(fdOf(*this), static_cast<uid_t>(-1), owned.gid); });
    // Set-user-ID and set-group-ID go only with the owner and group they were set for.
    return setPermissions(both ? owned.bits & 07777 : owned.bits & 0777);
}

int File::setPermissions(mode_t bits)
{
    return sysCall(SysCall::Chmod, [&] { return ::fchmod(fdOf(*this), bits); }) < 0 ? errno : 0;
}

void File::startWriteback(std::int64_t offset, std::int64_t n)
{
    ::sync_file_range(fdOf(*this), static_cast<off64_t>(offset), static_cast<off64_t>(n), SYNC_FILE_RANGE_WRITE);
}

void File::dropCached(std::int64_t offset, std::int64_t n)
{
    ::posix_fadvise(fdOf(*this), static_cast<off64_t>(offset), static_cast<off64_t>(n), POSIX_FADV_DONTNEED);
}

int File::sync()
{
    return sysCall(SysCall::Fsync, [&] { return ::fsync(fdOf(*this)); }) < 0 ? errno : 0;
}

int File::syncData()
{
    return sysCall(SysCall::Fsync, [&] { return ::fdatasync(fdOf(*this)); }) < 0 ? errno : 0;
}

int openForReading(const std::string &path, File &file, Links links)
{
    return openRegular(path, O_RDONLY, links, file);
}

int openForReadWrite(const std::string &path, File &file, Links links)
{
    return openRegular(path, O_RDWR, links, file);
}

int createNewFile(const std::string &path, File &file, mode_t mode)
{
    if (holdsNul(path))
        return ENOENT;
    return openWith(SysCall::Create, path, O_RDWR | O_CREAT | O_EXCL | O_NOCTTY, mode, file);
}

// Read where the kernel shows it: setting the umask to read it back would, for that moment, give
// the files other threads create the wrong permission bits.
MappedRange::~MappedRange()
{
    unmap();
}

void MappedRange::unmap()
{
    if (m_base != nullptr)
        ::munmap(m_base, m_length); // fails only for a range that is not a mapping
    m_base = nullptr;
}

int MappedRange::map(File &file, std::int64_t offset, std::size_t n, Access access)
{
    unmap();
    static const auto page = static_cast<std::int64_t>(::sysconf(_SC_PAGESIZE));
    const std::int64_t start = offset - offset % page;
    const auto lead = static_cast<std::size_t>(offset - start);
    const bool write = access == Access::ReadWrite;
    void *base = ::mmap(nullptr, lead + n, write ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, fdOf(file),
                        static_cast<off_t>(start));
    if (base == MAP_FAILED)
        return errno;
    // Every page present and writable now, or an error now: never a SIGBUS on the first write.
    const int populate = write ? MADV_POPULATE_WRITE : MADV_POPULATE_READ;
    if (sysCall(SysCall::Map, [&] { return ::madvise(base, lead + n, populate); }) != 0) {
        const int err = errno;
        ::munmap(base, lead + n);
        return err;
    }
    m_base = static_cast<unsigned char *>(base);
    m_length = lead + n;
    m_lead = lead;
    m_offset = offset;
    m_size = n;
    return 0;
}

std::int64_t openFileLimit()
{
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return -1;
    if (limit.rlim_cur != limit.rlim_max) {
        struct rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? -1 : static_cast<std::int64_t>(limit.rlim_cur);
}

mode_t currentUmask()
{
    if (std::FILE *status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
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

int removeFile(const std::string &path)
{
    if (holdsNul(path))
        return ENOENT;
    return sysCall(SysCall::Remove, [&] { return ::unlink(path.c_str()); }) < 0 ? errno : 0;
}

// The folder is held open, so the name looked at and the name removed are in the same folder
// whatever happens to the path meanwhile; only the moment between the look and the removal is left.
int removeIfStill(const std::string &path, const FileId &id)
{
    if (holdsNul(path) || path.empty())
        return ENOENT;
    File folder;
    const std::string folderPath = directoryPart(path).empty() ? "." : directoryPart(path);
    if (const int err = openWith(SysCall::Open, folderPath, O_RDONLY | O_DIRECTORY, 0, folder))
        return err;
    const std::string name = namePart(path);
    struct stat st {};
    if (::fstatat(fdOf(folder), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) < 0)
        return errno;
    if (!S_ISREG(st.st_mode) || idOf(st) != id)
        return kChanged;
    return sysCall(SysCall::Remove, [&] { return ::unlinkat(fdOf(folder), name.c_str(), 0); }) < 0 ? errno : 0;
}

int renameFile(const std::string &from, const std::string &to)
{
    if (holdsNul(from) || holdsNul(to))
        return ENOENT;
    return sysCall(SysCall::Rename, [&] { return ::rename(from.c_str(), to.c_str()); }) < 0 ? errno : 0;
}

int makeDirectories(const std::string &path, std::vector<std::string> *made)
{
    if (holdsNul(path))
        return ENOENT;
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
    if (path.empty() || holdsNul(path))
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
    if (path.empty() || holdsNul(path) || sysCall(SysCall::Stat, [&] { return ::stat(path.c_str(), &st); }) < 0)
        return false;
    return S_ISREG(st.st_mode);
}

bool isSymbolicLink(const std::string &path)
{
    struct stat st {};
    return !holdsNul(path) && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool nameTaken(const std::string &path)
{
    struct stat st {};
    return !path.empty() && !holdsNul(path) && ::lstat(path.c_str(), &st) == 0;
}

std::optional<FileId> fileId(const std::string &path)
{
    struct stat st {};
    if (path.empty() || holdsNul(path) || ::stat(path.c_str(), &st) < 0)
        return std::nullopt;
    return idOf(st);
}

std::optional<FileId> fileId(const File &file)
{
    struct stat st {};
    if (::fstat(fdOf(file), &st) < 0)
        return std::nullopt;
    return idOf(st);
}

void stopWaiting()
{
    g_stopWaiting.store(true);
}

bool waitingStopped()
{
    return g_stopWaiting.load();
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
    const ssize_t r =
        sysCall(SysCall::CopyRange, [&] { return ::copy_file_range(fdOf(in), &offset, fdOf(out), nullptr, n, 0); });
    if (r < 0)
        return errno;
    copied = static_cast<std::size_t>(r);
    inOffset += r;
    return 0;
}

int spliceRange(File &in, File &out, std::size_t n, std::size_t &copied)
{
    copied = 0;
    ssize_t r = sysCall(SysCall::CopyRange, [&] { return ::splice(fdOf(in), nullptr, fdOf(out), nullptr, n, 0); });
    if (r < 0 && errno == EINVAL) // not a pipe: a file read from where it stands
        r = sysCall(SysCall::CopyRange, [&] { return ::copy_file_range(fdOf(in), nullptr, fdOf(out), nullptr, n, 0); });
    if (r < 0)
        return errno;
    copied = static_cast<std::size_t>(r);
    return 0;
}

void widenPipe(File &stream)
{
    constexpr int kWide = 1 << 20;
    const int now = ::fcntl(fdOf(stream), F_GETPIPE_SZ);
    if (now > 0 && now < kWide)
        (void)::fcntl(fdOf(stream), F_SETPIPE_SZ, kWide); // beyond the user's limit it stays as it is
}

int sendRange(File &in, std::int64_t &inOffset, File &out, std::size_t n, std::size_t &copied)
{
    copied = 0;
    off_t offset = static_cast<off_t>(inOffset);
    const ssize_t r = sysCall(SysCall::CopyRange, [&] { return ::sendfile(fdOf(out), fdOf(in), &offset, n); });
    if (r < 0)
        return errno;
    copied = static_cast<std::size_t>(r);
    inOffset += r;
    return 0;
}

bool namesDescriptor(const std::string &path)
{
    if (path.empty() || holdsNul(path))
        return false;
    std::string name = path;
    // As many links as the system itself follows.
    for (int hop = 0; hop < 40 && isSymbolicLink(name); ++hop) {
        struct statfs folder {};
        const std::string where = directoryPart(name).empty() ? "." : directoryPart(name);
        if (::statfs(where.c_str(), &folder) == 0 && folder.f_type == PROC_SUPER_MAGIC)
            return true;
        char target[4096];
        const ssize_t length = ::readlink(name.c_str(), target, sizeof target - 1);
        if (length <= 0)
            return false;
        const std::string next(target, static_cast<std::size_t>(length));
        name = next.front() == '/' ? next : directoryPart(name) + next;
    }
    return false;
}

} // namespace fileio
