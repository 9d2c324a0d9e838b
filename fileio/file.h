// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <sys/types.h>

// The one file layer under every operation: thin RAII handles over the system's file calls
// (POSIX in file.cpp; the Windows joiner's in file_windows.cpp). Every function returns 0 on
// success or the system's error number of the failed call (errno, or GetLastError on Windows);
// EINTR and partial transfers are handled here, so callers see whole transfers or a real failure.
namespace fileio {

// An open file as the system knows it: a descriptor, or a Windows HANDLE; -1 for none.
using NativeHandle = std::intptr_t;

// A file's owner, group and permission bits (uid_t and gid_t are 32 bits on Linux; Windows has
// none of them).
struct Ownership {
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;
    mode_t bits = 0;
};

class File {
public:
    File() = default;
    explicit File(NativeHandle handle) : m_fd(handle) {}
    File(File &&other) noexcept : m_fd(other.release()) {}
    File &operator=(File &&other) noexcept;
    File(const File &) = delete;
    File &operator=(const File &) = delete;
    // Closes a file still open, ignoring the outcome: the failure path of an operation.
    ~File();

    bool isOpen() const { return m_fd >= 0; }
    NativeHandle handle() const { return m_fd; }
    NativeHandle release();

    // A checked close; after writing, a failed close is a failed write.
    int close();

    // Reads until n bytes or the end of the file; got tells how many arrived.
    int read(void *buf, std::size_t n, std::size_t &got);
    // The same at an absolute offset, leaving the file position alone.
    int readAt(void *buf, std::size_t n, std::int64_t offset, std::size_t &got);
    // Writes all n bytes; a write that makes no progress fails with ENOSPC.
    int write(const void *buf, std::size_t n);
    int seek(std::int64_t offset);
    int size(std::int64_t &bytes) const;
    // The owner, group and permission bits (mode & 07777) of the open file.
    int ownership(Ownership &owned) const;
    // Gives the file the owner and group where the system allows it (root; an owner keeping a
    // group of their own), else the group alone where it allows that, and fails only when the
    // permission bits cannot be set, which come last since a change of owner may clear some.
    int takeOwnership(const Ownership &owned);
    int setPermissions(mode_t bits);
    int sync();
    // Flushes the data (and the size) to the device, not the other metadata.
    int syncData();
    // Asks the kernel to start writing this range to the device now, without waiting, so that
    // a later sync() has little left to do. Only a hint: it cannot fail an operation.
    void startWriteback(std::int64_t offset, std::int64_t n);

private:
    NativeHandle m_fd = -1;
};

int openForReading(const std::string &path, File &file);
int openForReadWrite(const std::string &path, File &file);
// Creates a new file of a unique name in `directory` (a directory part as directoryPart() gives
// it, empty for the current one), for writing, with mode 0600; path receives its name.
int createTemporaryFile(const std::string &directory, std::string &path, File &file);

int removeFile(const std::string &path);
// Replaces `to` when it exists.
int renameFile(const std::string &from, const std::string &to);
// Creates the directory and every missing directory along its path; `made`, when given, receives
// the ones this call created, outermost first.
int makeDirectories(const std::string &path, std::vector<std::string> *made = nullptr);
// Removes an empty directory.
int removeDirectory(const std::string &path);

// The absolute name with every symbolic link and "." / ".." resolved; the file must exist.
int resolvePath(const std::string &path, std::string &resolved);

// A name exists when stat, following links, finds a regular file.
bool fileExists(const std::string &path);

// The error number that makes IoErrorReport say "Invalid filename": for names refused before
// the system is asked.
int invalidNameError();

// Which file a name leads to: device and inode, or volume serial number and file index.
struct FileId {
    std::uint64_t device;
    std::uint64_t index;
    auto operator<=>(const FileId &) const = default;
};
std::optional<FileId> fileId(const std::string &path);
std::optional<FileId> fileId(const File &file);

// The files an output must not be: the inputs of the operation, the files it has made so far.
using FileIds = std::set<FileId>;

// What createFile fails with when the opened file is one of those it must keep.
inline constexpr int kKeptFile = EEXIST;

// The one way to create an output, for writing: opens the file without emptying it (creating it
// with mode less the umask when it is missing), then compares the identity of the file actually
// opened with `keep`, and only then empties it. A file in `keep` is left as it was and fails
// with kKeptFile: no name trick (a "..", a link, a folder made on the way, a file swapped in
// meanwhile) can make an output empty one of them. A FIFO without a reader fails at once
// instead of waiting for one; only a regular file is emptied.
int createFile(const std::string &path, File &file, const FileIds &keep = {}, mode_t mode = 0666);

// Whether the open file is a regular one (not a FIFO, device, socket or folder).
bool isRegularFile(const File &file);

// Flushes the entries of the directory (a directory part as directoryPart() gives it, empty for
// the current one) to the device: files created in it survive a power cut once their data has.
int syncDirectory(const std::string &directory);

// The name part (after the last separator: "/", and on Windows also "\\" and ":") and the
// directory part (up to and including it).
std::string namePart(const std::string &path);
std::string directoryPart(const std::string &path);

// Moves up to n bytes from `in` at *inOffset to the current position of `out` in the kernel,
// advancing *inOffset. copied is 0 at the end of the input. Fails with the errno when the
// kernel cannot do it for these files; callers then copy through a buffer.
int copyRange(File &in, std::int64_t &inOffset, File &out, std::size_t n, std::size_t &copied);

} // namespace fileio
