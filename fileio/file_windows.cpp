// SPDX-License-Identifier: GPL-3.0-or-later
// The file layer of the Windows joiner: the wide Win32 calls, names converted from UTF-8, 64-bit
// sizes, and GetLastError's numbers as the error numbers. It holds what the joiner and the
// copies under it use; the operations of the Linux programs (permissions, temporary files,
// folders, kernel copies) stay in file.cpp. It is only ever the shipped joiner's, so no fault is
// injected here.
#include "file.h"

#include "wide_text.h"

#include <algorithm>
#include <utility>

#include <windows.h>

namespace fileio {

namespace {

// The most one ReadFile or WriteFile call is asked to move.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

HANDLE nativeOf(const File &file)
{
    return reinterpret_cast<HANDLE>(file.handle());
}

int lastError()
{
    const DWORD err = ::GetLastError();
    return err == 0 ? ERROR_GEN_FAILURE : static_cast<int>(err);
}

int openWith(const std::string &path, DWORD access, DWORD disposition, File &file)
{
    std::wstring name;
    if (!wideFromUtf8(path, name))
        return ERROR_NO_UNICODE_TRANSLATION;
    // Others may read and write meanwhile, as the joiner's files allow everywhere.
    const HANDLE handle = ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastError();
    file = File(reinterpret_cast<NativeHandle>(handle));
    return 0;
}

// What the file a name leads to is, following links; false when nothing can be opened there.
bool informationOf(const std::string &path, BY_HANDLE_FILE_INFORMATION &info)
{
    std::wstring name;
    if (path.empty() || !wideFromUtf8(path, name))
        return false;
    // No access asked: only the file's attributes are read. Backup semantics opens folders too.
    const HANDLE handle = ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    return ok;
}

FileId idOf(const BY_HANDLE_FILE_INFORMATION &info)
{
    return FileId{info.dwVolumeSerialNumber,
                  static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

bool isSeparator(char c)
{
    return c == '\\' || c == '/' || c == ':';
}

std::size_t lastSeparator(const std::string &path)
{
    const auto it = std::find_if(path.rbegin(), path.rend(), isSeparator);
    return it == path.rend() ? std::string::npos : static_cast<std::size_t>(path.rend() - it - 1);
}

} // namespace

File &File::operator=(File &&other) noexcept
{
    if (this != &other) {
        if (isOpen())
            ::CloseHandle(nativeOf(*this));
        m_fd = other.release();
    }
    return *this;
}

File::~File()
{
    if (isOpen())
        ::CloseHandle(nativeOf(*this));
}

NativeHandle File::release()
{
    return std::exchange(m_fd, -1);
}

int File::close()
{
    if (!isOpen())
        return 0;
    const HANDLE handle = nativeOf(*this);
    release();
    return ::CloseHandle(handle) ? 0 : lastError();
}

namespace {

// Reads until n bytes or the end of the file; at, when given, is where the reading starts.
int readFully(HANDLE handle, char *p, std::size_t n, const std::int64_t *at, std::size_t &got)
{
    got = 0;
    while (got < n) {
        const auto want = static_cast<DWORD>(std::min(n - got, kMaxTransfer));
        OVERLAPPED where{};
        if (at) {
            const auto offset = static_cast<std::uint64_t>(*at) + got;
            where.Offset = static_cast<DWORD>(offset);
            where.OffsetHigh = static_cast<DWORD>(offset >> 32);
        }
        DWORD read = 0;
        if (!::ReadFile(handle, p + got, want, &read, at ? &where : nullptr)) {
            const DWORD err = ::GetLastError();
            // The end of a file read at an offset, and a pipe whose writer has gone.
            if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE)
                break;
            return lastError();
        }
        if (read == 0)
            break;
        got += read;
    }
    return 0;
}

} // namespace

int File::read(void *buf, std::size_t n, std::size_t &got)
{
    return readFully(nativeOf(*this), static_cast<char *>(buf), n, nullptr, got);
}

// Unlike pread, this moves the file position too; the callers never mix the two on one file.
int File::readAt(void *buf, std::size_t n, std::int64_t offset, std::size_t &got)
{
    return readFully(nativeOf(*this), static_cast<char *>(buf), n, &offset, got);
}

int File::write(const void *buf, std::size_t n)
{
    const auto *p = static_cast<const char *>(buf);
    std::size_t done = 0;
    while (done < n) {
        DWORD written = 0;
        const auto want = static_cast<DWORD>(std::min(n - done, kMaxTransfer));
        if (!::WriteFile(nativeOf(*this), p + done, want, &written, nullptr))
            return lastError();
        if (written == 0)
            return ERROR_DISK_FULL;
        done += written;
    }
    return 0;
}

int File::seek(std::int64_t offset)
{
    LARGE_INTEGER to{};
    to.QuadPart = offset;
    return ::SetFilePointerEx(nativeOf(*this), to, nullptr, FILE_BEGIN) ? 0 : lastError();
}

int File::size(std::int64_t &bytes) const
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(nativeOf(*this), &size))
        return lastError();
    bytes = size.QuadPart;
    return 0;
}

int File::sync()
{
    return ::FlushFileBuffers(nativeOf(*this)) ? 0 : lastError();
}

int File::syncData()
{
    return sync();
}

void File::startWriteback(std::int64_t, std::int64_t) {}
void File::dropCached(std::int64_t, std::int64_t) {}

namespace {

// Keeps the file only when it is a file on a disk: not a folder, a pipe or a device.
int openRegular(const std::string &path, DWORD access, File &file)
{
    File opened;
    if (const int err = openWith(path, access, OPEN_EXISTING, opened))
        return err;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(nativeOf(opened)) != FILE_TYPE_DISK || !::GetFileInformationByHandle(nativeOf(opened), &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return kNotRegularFile;
    file = std::move(opened);
    return 0;
}

std::int64_t nanoseconds(const LARGE_INTEGER &ticks)
{
    return ticks.QuadPart * 100; // Windows counts in units of 100 ns
}

} // namespace

// The joiner follows every link: Links only matters to the Linux programs.
int openForReading(const std::string &path, File &file, Links)
{
    return openRegular(path, GENERIC_READ, file);
}

int openForReadWrite(const std::string &path, File &file, Links)
{
    return openRegular(path, GENERIC_READ | GENERIC_WRITE, file);
}

int File::state(FileState &now) const
{
    FILE_BASIC_INFO basic{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandleEx(nativeOf(*this), FileBasicInfo, &basic, sizeof basic)
        || !::GetFileInformationByHandle(nativeOf(*this), &info))
        return lastError();
    now.size = static_cast<std::int64_t>(static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    now.modifiedNs = nanoseconds(basic.LastWriteTime);
    now.changedNs = nanoseconds(basic.ChangeTime);
    now.links = info.nNumberOfLinks;
    return 0;
}

// Windows has no mode bits for a new file: its folder's rights apply.
int createNewFile(const std::string &path, File &file, mode_t)
{
    return openWith(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, file);
}

int removeFile(const std::string &path)
{
    std::wstring name;
    if (!wideFromUtf8(path, name))
        return ERROR_NO_UNICODE_TRANSLATION;
    return ::DeleteFileW(name.c_str()) ? 0 : lastError();
}

bool nameTaken(const std::string &path)
{
    std::wstring name;
    return !path.empty() && wideFromUtf8(path, name) && ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool fileExists(const std::string &path)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return informationOf(path, info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

int invalidNameError()
{
    return ERROR_INVALID_NAME;
}

std::optional<FileId> fileId(const std::string &path)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!informationOf(path, info))
        return std::nullopt;
    return idOf(info);
}

std::optional<FileId> fileId(const File &file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(nativeOf(file), &info))
        return std::nullopt;
    return idOf(info);
}

std::string namePart(const std::string &path)
{
    const auto separator = lastSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string directoryPart(const std::string &path)
{
    const auto separator = lastSeparator(path);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Windows copies no byte range between two open files in the kernel: callers copy through
// their buffer.
int copyRange(File &, std::int64_t &, File &, std::size_t, std::size_t &copied)
{
    copied = 0;
    return ERROR_NOT_SUPPORTED;
}

// Windows' pipes keep the size they were made with.
void widenPipe(File &) {}

} // namespace fileio
