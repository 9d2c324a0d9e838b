// SPDX-License-Identifier: GPL-3.0-or-later
#include "digest_list_file.h"

#include "close_output.h"

#include "digest/checksum_list.h"
#include "fileio/io_error.h"

#include <cerrno>

namespace recons {

namespace {

constexpr std::size_t kFlushAt = 4096;

class OpenDigestList final : public ops::DigestList {
public:
    explicit OpenDigestList(fileio::FileIds &keep)
    {
        // Whatever bears the list's name is emptied, but never a file in `keep`.
        if (const int err = fileio::createFile(digest::kChecksumListName, m_file, keep))
            fileio::failErrno(err == fileio::kKeptFile ? EACCES : err);
        const std::optional<fileio::FileId> id = fileio::fileId(m_file);
        if (!id)
            fileio::failErrno(EIO);
        keep.insert(*id);
    }

    void add(const std::string &partPath, const digest::Sha256Digest &digest) override
    {
        m_buffer += digest::checksumLine(digest, fileio::namePart(partPath));
        if (m_buffer.size() >= kFlushAt)
            flush();
    }

    void finish(const std::string &sourcePath, const digest::Sha256Digest &digest, bool toDevice) override
    {
        m_buffer += digest::checksumLine(digest, fileio::namePart(sourcePath));
        flush();
        closeOutput(m_file, toDevice);
    }

private:
    void flush()
    {
        if (const int err = m_file.write(m_buffer.data(), m_buffer.size()))
            fileio::failErrno(err);
        m_buffer.clear();
    }

    fileio::File m_file;
    std::string m_buffer;
};

} // namespace

std::unique_ptr<ops::DigestList> DigestListFile::open(fileio::FileIds &keep)
{
    return std::make_unique<OpenDigestList>(keep);
}

} // namespace recons
