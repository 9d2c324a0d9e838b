#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <sys/types.h>

// The one file layer under every operation: thin RAII handles over the system's file calls
// (POSIX in file.cpp; the Windows joiner's in file_windows.cpp). Every function returns 0 on
// success or the system's error number of the failed call (errno, or GetLastError on Windows);
// EINTR and partial transfers are handled here, so callers see whole transfers or a real failure.
namespace fileio {

// An open file as the system knows it: a descriptor, or a Windows HANDLE; -1 for none.
using NativeHandle = std::intptr_t;

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
    // The permission bits (mode & 07777) of the open file, and setting them.
    int permissions(mode_t &bits) const;
    int setPermissions(mode_t bits);
    int sync();
    // Asks the kernel to start writing this range to the device now, without waiting, so that
    // a later sync() has little left to do. Only a hint: it cannot fail an operation.
    void startWriteback(std::int64_t offset, std::int64_t n);

private:
    NativeHandle m_fd = -1;
};

int openForReading(const std::string &path, File &file);
int openForReadWrite(const std::string &path, File &file);
// Creates the file afresh (an existing file of that name is emptied), for writing,
// with mode less the umask.
int createFile(const std::string &path, File &file, mode_t mode = 0666);
// Creates a new file of a unique name in `directory` (a directory part as directoryPart() gives
// it, empty for the current one), for writing, with mode 0600; path receives its name.
int createTemporaryFile(const std::string &directory, std::string &path, File &file);

int removeFile(const std::string &path);
// Replaces `to` when it exists.
int renameFile(const std::string &from, const std::string &to);
// Creates the directory and every missing directory along its path.
int makeDirectories(const std::string &path);

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
    bool operator==(const FileId &) const = default;
};
std::optional<FileId> fileId(const std::string &path);
std::optional<FileId> fileId(const File &file);

// The name part (after the last separator: "/", and on Windows also "\\" and ":") and the
// directory part (up to and including it).
std::string namePart(const std::string &path);
std::string directoryPart(const std::string &path);

// Moves up to n bytes from `in` at *inOffset to the current position of `out` in the kernel,
// advancing *inOffset. copied is 0 at the end of the input. Fails with the errno when the
// kernel cannot do it for these files; callers then copy through a buffer.
int copyRange(File &in, std::int64_t &inOffset, File &out, std::size_t n, std::size_t &copied);

} // namespace fileio
