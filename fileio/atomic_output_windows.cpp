// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows joiner's output under a temporary name: a hidden file beside the target, moved over
// it when whole. Windows has no unnamed files and no permission bits to keep.
#include "atomic_output.h"

#include "wide_text.h"

#include <utility>

#include <windows.h>

namespace fileio {

namespace {

constexpr int kAttempts = 64;

std::string hiddenName(const std::string &folder, unsigned attempt)
{
    static unsigned made = 0;
    const unsigned long long tag =
        (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^ ::GetTickCount64() ^ (++made + attempt);
    char text[40];
    const char digits[] = "0123456789abcdef";
    int n = 0;
    for (unsigned long long v = tag; v != 0 && n < 16; v >>= 4)
        text[n++] = digits[v & 0xF];
    return folder + ".skarvel-" + std::string(text, static_cast<std::size_t>(n)) + ".tmp";
}

int lastError()
{
    const DWORD err = ::GetLastError();
    return err == 0 ? ERROR_GEN_FAILURE : static_cast<int>(err);
}

int moveFile(const std::string &from, const std::string &to, bool replace)
{
    std::wstring source;
    std::wstring target;
    if (!wideFromUtf8(from, source) || !wideFromUtf8(to, target))
        return ERROR_NO_UNICODE_TRANSLATION;
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return ::MoveFileExW(source.c_str(), target.c_str(), flags) ? 0 : lastError();
}

} // namespace

int AtomicOutput::open(const std::string &path, const FileIds &keep, mode_t mode, Existing existing,
                       const std::string &temporaryName)
{
    abandon();
    m_replaces.reset();
    if (path.empty())
        return ERROR_INVALID_NAME;
    m_existing = existing;
    m_target = path;
    if (const std::optional<FileId> id = fileId(path)) {
        if (!fileExists(path))
            return kNotRegularFile;
        if (keep.contains(*id))
            return kKeptFile;
        if (existing == Existing::Refuse)
            return ERROR_FILE_EXISTS;
    }
    const std::string folder = directoryPart(path);
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        std::string candidate = temporaryName.empty() ? hiddenName(folder, attempt) : folder + temporaryName;
        const int err = createNewFile(candidate, m_file, mode);
        if (err == 0) {
            m_temporary = std::move(candidate);
            m_id = fileId(m_file);
        }
        if (err != ERROR_FILE_EXISTS || !temporaryName.empty())
            return err;
    }
    return ERROR_FILE_EXISTS;
}

int AtomicOutput::nameTemporary()
{
    return 0;
}

// Windows keeps no owner or permission bits a replaced file could pass on here.
int AtomicOutput::takeOverFrom(const std::string &, const Ownership &)
{
    return 0;
}

int AtomicOutput::rename(const FileIds &keep)
{
    if (const std::optional<FileId> now = fileId(m_target)) {
        if (keep.contains(*now))
            return kKeptFile;
    }
    return moveFile(m_temporary, m_target, m_existing == Existing::Replace);
}

} // namespace fileio
