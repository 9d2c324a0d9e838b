// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace fileio {

// The kinds of system call the file layer makes; each can be made to fail in tests.
// Unnamed is the creation of an output's temporary without a name (O_TMPFILE), Link the naming
// of one.
enum class SysCall {
    Open,
    Create,
    Read,
    Write,
    Seek,
    Stat,
    Fsync,
    Close,
    Remove,
    Rename,
    Mkdir,
    CopyRange,
    Chmod,
    Unnamed,
    Link,
    Map // a file's pages mapped and made present
};
inline constexpr int kSysCallKinds = static_cast<int>(SysCall::Map) + 1;

namespace faults {

// Test mode: the nth call (counted from 1) of the chosen kind fails with err. An err of 0 makes
// a read or write transfer nothing (an early end of file, a write that wrote no byte). Each kind
// holds one armed fault; arming restarts every count.
void arm(SysCall call, long nth, int err);
// The same for the nth call and every later one of this kind: a call the system never supports.
void armFrom(SysCall call, long nth, int err);
void disarm(SysCall call);
void disarm();
// How many calls of this kind the file layer has made since the last arm() or resetCounts().
long count(SysCall call);
void resetCounts();

// Called by the file layer before each system call. Returns -1 to go on, or the errno to fail with.
int check(SysCall call);

// Test mode: every file-system query (fileSystemRules) answers a file system of this statfs type,
// whatever the folder; 0 asks the system again.
void fakeFileSystemType(std::uint64_t type);
// The type faked, or 0. The shipped joiner's layer never fakes one.
std::uint64_t fakedFileSystemType();

// Arms a fault for one scope and disarms it on the way out.
class ScopedFault {
public:
    ScopedFault(SysCall call, long nth, int err) : m_call(call) { arm(call, nth, err); }
    ~ScopedFault() { disarm(m_call); }
    ScopedFault(const ScopedFault &) = delete;
    ScopedFault &operator=(const ScopedFault &) = delete;

private:
    SysCall m_call;
};

// Fakes a file system for one scope.
class ScopedFileSystemType {
public:
    explicit ScopedFileSystemType(std::uint64_t type) { fakeFileSystemType(type); }
    ~ScopedFileSystemType() { fakeFileSystemType(0); }
    ScopedFileSystemType(const ScopedFileSystemType &) = delete;
    ScopedFileSystemType &operator=(const ScopedFileSystemType &) = delete;
};

} // namespace faults
} // namespace fileio
