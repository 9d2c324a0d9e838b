// SPDX-License-Identifier: GPL-3.0-or-later
// The POSIX side of AtomicOutput: an unnamed temporary where the file system has them, a hidden
// named one elsewhere.
#include "atomic_output.h"

#include "sys_call.h"

#include <atomic>
#include <chrono>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

namespace {

constexpr int kAttempts = 64;

// A hidden name in `folder` that no file of the user's is likely to have.
std::string temporaryName(const std::string &folder)
{
    static std::atomic<unsigned> made{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    char tag[48];
    std::snprintf(tag, sizeof tag, ".skarvel-%x-%x-%llx", static_cast<unsigned>(::getpid()), made++,
                  static_cast<unsigned long long>(now) & 0xffffffULL);
    return folder + tag;
}

// An unnamed file can be given a name later only through /proc (or a privilege).
bool canNameUnnamedFiles()
{
    return ::access("/proc/self/fd", X_OK) == 0;
}

// The file systems (and kernels) without unnamed files say so with one of these.
bool unnamedUnsupported(int err)
{
    return err == EOPNOTSUPP || err == EISDIR || err == EINVAL;
}

int openUnnamed(const std::string &folder, mode_t mode, File &file)
{
    const std::string where = folder.empty() ? "." : folder;
    const int fd =
        sysCall(SysCall::Unnamed, [&] { return ::open(where.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode); });
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

int createNamed(const std::string &folder, mode_t mode, File &file, std::string &name)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string candidate = temporaryName(folder);
        const int err = createNewFile(candidate, file, mode);
        if (err != EEXIST) {
            if (err == 0)
                name = std::move(candidate);
            return err;
        }
    }
    return EEXIST;
}

// Gives `from` the name `to` only while no file has it: atomically where the system can.
int renameRefusingExisting(const std::string &from, const std::string &to)
{
    if (sysCall(SysCall::Rename,
                [&] { return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE); })
        == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // Without RENAME_NOREPLACE a second name does the same: link() never replaces a file.
    if (retried([&] { return ::link(from.c_str(), to.c_str()); }) == 0) {
        static_cast<void>(::unlink(from.c_str()));
        return 0;
    }
    return errno;
}

} // namespace

int AtomicOutput::open(const std::string &path, const FileIds &keep, mode_t mode, Existing existing,
                       const std::string &temporaryName)
{
    abandon();
    m_replaces.reset();
    m_replacedBits.reset();
    if (path.empty() || holdsNul(path))
        return ENOENT;
    m_existing = existing;
    m_target = path;
    struct stat st {};
    const bool exists = sysCall(SysCall::Stat, [&] { return ::stat(path.c_str(), &st); }) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists) {
        if (!S_ISREG(st.st_mode))
            return kNotRegularFile;
        if (keep.contains(idOf(st)))
            return kKeptFile;
        if (existing == Existing::Refuse)
            return EEXIST;
        // The file replaced is the one the links lead to: they go on leading to the output.
        if (const int err = resolvePath(path, m_target))
            return err;
    } else if (existing == Existing::Refuse && isSymbolicLink(path)) {
        return EEXIST;
    }

    const std::string folder = directoryPart(m_target);
    int err = 0;
    if (!temporaryName.empty()) {
        err = createNewFile(folder + temporaryName, m_file, mode);
        if (!err)
            m_temporary = folder + temporaryName;
    } else {
        err = canNameUnnamedFiles() ? openUnnamed(folder, mode, m_file) : EOPNOTSUPP;
        if (unnamedUnsupported(err))
            err = createNamed(folder, mode, m_file, m_temporary);
    }
    if (!err && exists) {
        err = takeOverFrom(m_target, {st.st_uid, st.st_gid, static_cast<mode_t>(st.st_mode & 07777)});
        m_replacedBits = static_cast<mode_t>(st.st_mode & 0777);
    }
    if (err) {
        abandon();
        return err;
    }
    m_id = fileId(m_file);
    return 0;
}

// Attributes first: an access control list sets permission bits, which come last, as a change of
// owner may clear some. Set-user-ID and the like go only where the owner and group went too.
int AtomicOutput::takeOverFrom(const std::string &replaced, const Ownership &owned)
{
    m_file.copyAttributesFrom(replaced);
    return m_file.takeOwnership(owned);
}

int AtomicOutput::nameTemporary()
{
    const std::string self = "/proc/self/fd/" + std::to_string(fdOf(m_file));
    const std::string folder = directoryPart(m_target);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string candidate = temporaryName(folder);
        if (sysCall(SysCall::Link,
                    [&] { return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW); })
            == 0) {
            m_temporary = std::move(candidate);
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int AtomicOutput::rename(const FileIds &keep)
{
    // The name may lead elsewhere by now: it is looked at again just before it is taken.
    if (const std::optional<FileId> now = fileId(m_target)) {
        if (keep.contains(*now))
            return kKeptFile;
    }
    if (m_replaces) {
        struct stat st {};
        if (::lstat(m_target.c_str(), &st) < 0 || !S_ISREG(st.st_mode) || idOf(st) != *m_replaces)
            return kChanged;
    }
    if (m_existing == Existing::Refuse)
        return renameRefusingExisting(m_temporary, m_target);
    return renameFile(m_temporary, m_target);
}

} // namespace fileio
