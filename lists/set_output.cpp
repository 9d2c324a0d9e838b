// SPDX-License-Identifier: GPL-3.0-or-later
#include "set_output.h"

#include "fileio/copy.h"
#include "fileio/failure.h"
#include "fileio/io_error.h"

#include <algorithm>
#include <cerrno>

namespace lists {

namespace {

constexpr std::size_t kBufferSize = 4096;

constexpr const char *kKeptName = "it is the file being cut, or one this cut has made";

[[noreturn]] void failSetOutput(const std::string &path, int err)
{
    // The file layer's own numbers read as access denied, with their reason in words.
    if (err == fileio::kKeptFile)
        throw fileio::Failure(fileio::IoErrorReport(fileio::IoError::fromErrno(err)), path, err, kKeptName);
    fileio::failErrno(err, path);
}

} // namespace

fileio::AtomicOutput openSetOutput(const std::string &path, const fileio::FileIds &keep,
                                   fileio::AtomicOutput::Existing existing, mode_t mode)
{
    fileio::AtomicOutput output;
    if (const int err = output.open(path, keep, mode, existing))
        failSetOutput(path, err);
    return output;
}

fileio::AtomicOutput writeSetFile(const std::string &path, std::span<const unsigned char> bytes,
                                  const fileio::FileIds &keep, fileio::AtomicOutput::Existing existing, mode_t mode)
{
    fileio::AtomicOutput output = openSetOutput(path, keep, existing, mode);
    // A new file has the mode less the umask; a replaced one keeps its own, which may lack the
    // execute bits a joiner needs: they are added where the file may be read.
    const std::optional<mode_t> kept = output.replacedBits();
    const mode_t bits = kept ? *kept | ((*kept & 0444 & mode) >> 2) : mode & ~fileio::currentUmask();
    if (const int err = output.file().setPermissions(bits))
        fileio::failErrno(err, path);
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t n = std::min(bytes.size() - done, fileio::kMaxBuffer);
        if (const int err = output.file().write(bytes.data() + done, n))
            fileio::failErrno(err, path);
        done += n;
    }
    return output;
}

void refuseExisting(const std::string &path)
{
    if (fileio::nameTaken(path))
        failSetOutput(path, EEXIST);
}

void finishSetOutput(const std::string &path, int err)
{
    if (err)
        failSetOutput(path, err);
}

void OpenList::add(const std::string &text)
{
    m_buffer += text;
    if (m_buffer.size() >= kBufferSize)
        flush();
}

void OpenList::close(const fileio::FileIds &keep, bool toDevice)
{
    flush();
    finishSetOutput(path(), m_output.finish(keep, toDevice));
}

void OpenList::finishInto(fileio::OutputBatch &batch)
{
    flush();
    std::string failed;
    if (const int err = batch.add(std::move(m_output), failed))
        fileio::failErrno(err, failed);
}

void OpenList::flush()
{
    const int err = m_output.file().write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    if (err)
        fileio::failErrno(err, path());
}

} // namespace lists
