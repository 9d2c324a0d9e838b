#include "digest_list_file.h"

#include "digest/checksum_list.h"
#include "fileio/ioerror.h"

#include <cerrno>

namespace recons {

namespace {

constexpr std::size_t kFlushAt = 4096;

class OpenDigestList final : public ops::DigestList {
public:
    explicit OpenDigestList(const std::optional<fileio::FileId> &source)
    {
        // Creating the list empties whatever bears its name: never the file being cut.
        if (source && fileio::fileId(digest::kChecksumListName) == source)
            fileio::failErrno(EACCES);
        if (const int err = fileio::createFile(digest::kChecksumListName, m_file))
            fileio::failErrno(err);
    }

    void add(const std::string &partPath, const digest::Sha256Digest &digest) override
    {
        m_buffer += digest::checksumLine(digest, fileio::namePart(partPath));
        if (m_buffer.size() >= kFlushAt)
            flush();
    }

    void finish(const std::string &sourcePath, const digest::Sha256Digest &digest) override
    {
        m_buffer += digest::checksumLine(digest, fileio::namePart(sourcePath));
        flush();
        if (const int err = m_file.close())
            fileio::failErrno(err);
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

std::unique_ptr<ops::DigestList> DigestListFile::open(const std::optional<fileio::FileId> &source)
{
    return std::make_unique<OpenDigestList>(source);
}

} // namespace recons
