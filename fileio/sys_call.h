// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fault.h"
#include "file.h"

#include <cerrno>
#include <string>

#include <sys/stat.h>

// What the POSIX file layer's sources share: how a system call is made. Not for use outside
// fileio/.
namespace fileio {

// True once stopWaiting() was called.
bool waitingStopped();

// Runs a system call unless a fault is injected for it; retries EINTR until a stop is asked.
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
    } while (result < 0 && errno == EINTR && !waitingStopped());
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
    } while (result < 0 && errno == EINTR && !waitingStopped());
    return result;
}

// The system reads a name up to its first NUL: a name holding one would reach another file.
inline bool holdsNul(const std::string &path)
{
    return path.find('\0') != std::string::npos;
}

inline FileId idOf(const struct stat &st)
{
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

inline FileState stateOf(const struct stat &st)
{
    FileState state;
    state.size = st.st_size;
    state.modifiedNs = std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    state.changedNs = std::int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    state.links = st.st_nlink;
    return state;
}

inline int fdOf(const File &file)
{
    return static_cast<int>(file.handle());
}

} // namespace fileio
