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
// success or the system's error number of the failed call (errno, or GetLastError on Windows),
// which the caller must look at: a result left alone on purpose is cast to void.
// EINTR and partial transfers are handled here, so callers see whole transfers or a real failure.
namespace fileio {

// What the file layer fails with beside the system's error numbers; errorText() says each.
// The file an output's name leads to is one of those it must keep (an input, an output made).
inline constexpr int kKeptFile = -2;
// The name leads to something else than a regular file (a folder, a FIFO, a device, a socket).
inline constexpr int kNotRegularFile = -3;
// The name is a symbolic link where a link is refused.
inline constexpr int kSymbolicLink = -4;
// A file read ended before its size, or its size or times differ from when it was opened; or a
// name no longer leads to the file it was checked to lead to.
inline constexpr int kChanged = -5;

// Which file a name leads to: device and inode, or volume serial number and file index.
struct FileId {
    std::uint64_t device;
    std::uint64_t index;
    auto operator<=>(const FileId &) const = default;
};

// The files an output must not be: the inputs of the operation, the files it has made so far.
using FileIds = std::set<FileId>;

// An open file as the system knows it: a descriptor, or a Windows HANDLE; -1 for none.
using NativeHandle = std::intptr_t;

// A file's owner, group and permission bits (uid_t and gid_t are 32 bits on Linux; Windows has
// none of them).
struct Ownership {
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;
    mode_t bits = 0;
};

// What a file is at one moment: enough to tell that it was written to or cut short meanwhile.
struct FileState {
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // the last change of its data, in nanoseconds
    // The last change of its data or of what the system keeps about it (a modification time set
    // back included), in nanoseconds.
    std::int64_t changedNs = 0;
    std::uint64_t links = 0; // its names (hard links)
    bool operator==(const FileState &) const = default;

    // Whether the bytes can be those of `before`: the same size, modification and change time.
    bool sameContentAs(const FileState &before) const
    {
        return size == before.size && modifiedNs == before.modifiedNs && changedNs == before.changedNs;
    }
};

// The layer has two halves. The first is what every program stands on, the joiners included,
// and is defined for Linux in file.cpp and for Windows in file_windows.cpp; a Windows build of
// more than the joiner starts from it. The second, after it, is the Linux programs' alone
// (file.cpp): permissions and owners, folders, renames and removals by identity, kernel hints.

// ---- Both systems: what the joiners use.

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
    [[nodiscard]] int close();

    // Reads until n bytes or the end of the file; got tells how many arrived.
    [[nodiscard]] int read(void *buf, std::size_t n, std::size_t &got);
    // The same at an absolute offset, leaving the file position alone.
    [[nodiscard]] int readAt(void *buf, std::size_t n, std::int64_t offset, std::size_t &got);
    // Writes all n bytes; a write that makes no progress fails with ENOSPC.
    [[nodiscard]] int write(const void *buf, std::size_t n);
    [[nodiscard]] int seek(std::int64_t offset);
    [[nodiscard]] int size(std::int64_t &bytes) const;
    [[nodiscard]] int sync();
    // Flushes the data (and the size) to the device, not the other metadata.
    [[nodiscard]] int syncData();
    // The size, the times of the last changes and the number of names, as they are now.
    [[nodiscard]] int state(FileState &now) const;
    // Asks the kernel to start writing this range to the device now, without waiting, so that
    // a later sync() has little left to do. Only a hint: it cannot fail an operation.
    void startWriteback(std::int64_t offset, std::int64_t n);
    // Tells the kernel this range will not be read again, so that its cached pages go now rather
    // than all at once when the file is removed. Only a hint, as above.
    void dropCached(std::int64_t offset, std::int64_t n);

    // Linux only:
    // Writes all n bytes at an absolute offset, leaving the file position alone.
    [[nodiscard]] int writeAt(const void *buf, std::size_t n, std::int64_t offset);
    // Makes the file `bytes` long: cut short, or grown with a hole that reads as zeros.
    [[nodiscard]] int setSize(std::int64_t bytes);
    // A second handle of the same open file; none where the system refuses one.
    File duplicate() const;
    // The owner, group and permission bits (mode & 07777) of the open file.
    [[nodiscard]] int ownership(Ownership &owned) const;
    // Gives the file the owner and group where the system allows it (root; an owner keeping a
    // group of their own), else the group alone where it allows that, and fails only when the
    // permission bits cannot be set, which come last since a change of owner may clear some.
    // Set-user-ID and set-group-ID are kept only along with both owner and group, as cp -p does.
    [[nodiscard]] int takeOwnership(const Ownership &owned);
    [[nodiscard]] int setPermissions(mode_t bits);
    // Gives the file the extended attributes of the file `path` names itself (not through a link):
    // access control lists among them, where the system lets it. An attribute it may not set is
    // left out, since none of them is the data; a file capability is never taken over.
    void copyAttributesFrom(const std::string &path);

private:
    NativeHandle m_fd = -1;
};

// A range of an open file mapped for reading and writing, or for reading alone (Linux only), every
// page of it present (and writable) from the start: a page the file system cannot give (a full
// disk) fails map() rather than the first write to it later. Unmapped when dropped or mapped again.
class MappedRange {
public:
    enum class Access { ReadWrite, Read };

    MappedRange() = default;
    ~MappedRange();
    MappedRange(const MappedRange &) = delete;
    MappedRange &operator=(const MappedRange &) = delete;

    // Maps bytes offset .. offset + n - 1 of the file, which must be that long. Fails with the
    // system's error (EINVAL where the system cannot make pages present ahead).
    [[nodiscard]] int map(File &file, std::int64_t offset, std::size_t n, Access access = Access::ReadWrite);
    void unmap();
    bool isMapped() const { return m_base != nullptr; }
    std::int64_t offset() const { return m_offset; }
    std::size_t size() const { return m_size; }
    // The byte at offset().
    unsigned char *data() const { return m_base + m_lead; }

private:
    unsigned char *m_base = nullptr;
    std::size_t m_length = 0; // mapped from a page's start: m_lead bytes before offset()
    std::size_t m_lead = 0;
    std::int64_t m_offset = 0;
    std::size_t m_size = 0;
};

// Whether a symbolic link as the last part of a name is followed, or refused (kSymbolicLink; the
// joiners follow every link).
enum class Links { Follow, Refuse };

// Open an existing regular file. Nothing else is opened: a FIFO, device, socket or folder under
// the name fails with kNotRegularFile at once, never waiting for a writer, so a check made on the
// open file holds for the file that is read.
[[nodiscard]] int openForReading(const std::string &path, File &file, Links links = Links::Follow);
[[nodiscard]] int openForReadWrite(const std::string &path, File &file, Links links = Links::Follow);
// Creates a file that must not exist yet, for writing (and reading back: Linux), with mode less the umask (Windows: its
// folder's rights): EEXIST when a file (or a link, even a dangling one) of that name is there.
[[nodiscard]] int createNewFile(const std::string &path, File &file, mode_t mode = 0666);
[[nodiscard]] int removeFile(const std::string &path);

// A name exists when stat, following links, finds a regular file. A name holding a NUL byte names
// no file anywhere in this layer: the system would read only the text before it.
bool fileExists(const std::string &path);
// Whether anything bears the name: a file, a folder, a link, even a dangling one.
bool nameTaken(const std::string &path);
std::optional<FileId> fileId(const std::string &path);
std::optional<FileId> fileId(const File &file);

// The error number that makes IoErrorReport say "Invalid filename": for names refused before
// the system is asked.
int invalidNameError();

// The name part (after the last separator: "/", and on Windows also "\\" and ":") and the
// directory part (up to and including it).
std::string namePart(const std::string &path);
std::string directoryPart(const std::string &path);

// Moves up to n bytes from `in` at *inOffset to the current position of `out` in the kernel,
// advancing *inOffset. copied is 0 at the end of the input. Fails with the errno when the
// kernel cannot do it for these files (always on Windows); callers then copy through a buffer.
[[nodiscard]] int copyRange(File &in, std::int64_t &inOffset, File &out, std::size_t n, std::size_t &copied);

// Asks the kernel for a buffer of 1 MiB, where it allows one, when `stream` is a pipe with a
// smaller one; nothing otherwise. Through the usual 64 KiB each side waits on the other sixteen
// times a MiB, which doubles the time a pipe of a large file takes.
void widenPipe(File &stream);

// ---- Linux only.

// Moves up to n bytes from where the stream `in` stands (a pipe, or a file read in order) to the
// current position of `out` in the kernel: splice(2) from a pipe, copy_file_range(2) from a
// file. copied is 0 at the end of the stream. Fails with the errno where the kernel cannot do it
// for these files; callers then copy through a buffer.
[[nodiscard]] int spliceRange(File &in, File &out, std::size_t n, std::size_t &copied);
// Sends up to n bytes of `in` from inOffset on to the stream `out` (a pipe, a socket, a file) in
// the kernel (sendfile(2)), advancing inOffset; copied is 0 at the end of `in`. Fails as
// spliceRange does.
[[nodiscard]] int sendRange(File &in, std::int64_t &inOffset, File &out, std::size_t n, std::size_t &copied);
// Whether the name leads, through a symbolic link, to an open descriptor's entry in /proc (as
// /dev/stdin and /dev/fd/3 do) rather than to a file in a folder of its own.
bool namesDescriptor(const std::string &path);

// Removes the name only while it still leads to the file `id`, itself and not through a link:
// kChanged when it leads elsewhere by now, ENOENT when it is gone.
[[nodiscard]] int removeIfStill(const std::string &path, const FileId &id);
// Replaces `to` when it exists.
[[nodiscard]] int renameFile(const std::string &from, const std::string &to);
// Creates the directory and every missing directory along its path; `made`, when given, receives
// the ones this call created, outermost first.
[[nodiscard]] int makeDirectories(const std::string &path, std::vector<std::string> *made = nullptr);
// Removes an empty directory.
[[nodiscard]] int removeDirectory(const std::string &path);
// The absolute name with every symbolic link and "." / ".." resolved; the file must exist.
[[nodiscard]] int resolvePath(const std::string &path, std::string &resolved);
// Whether the name itself is a symbolic link (not followed).
bool isSymbolicLink(const std::string &path);
// Whether the open file is a regular one (not a FIFO, device, socket or folder).
bool isRegularFile(const File &file);
// Flushes the entries of the directory (a directory part as directoryPart() gives it, empty for
// the current one) to the device: files created in it survive a power cut once their data has.
[[nodiscard]] int syncDirectory(const std::string &directory);
// How many files the process may hold open, after raising its soft limit to the hard one; -1
// when there is no limit.
std::int64_t openFileLimit();
// The process's umask, which new files' permission bits lose.
mode_t currentUmask();
// For a signal handler: from now on a system call that a signal interrupts fails with EINTR
// instead of being made again, so that a call that waits (a stalled mount, say) ends. Safe to
// call from a signal handler.
void stopWaiting();

} // namespace fileio
