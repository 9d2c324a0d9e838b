#include "digest_list_file.h"

#include "ops/checksum_list.h"
#include "ops/ioerror.h"

#include <cerrno>

namespace recons {

namespace {

constexpr std::size_t kFlushAt = 4096;

class OpenDigestList final : public ops::DigestList {
public:
    explicit OpenDigestList(const std::optional<ops::FileId> &source)
    {
        // Creating the list empties whatever bears its name: never the file being cut.
        if (source && ops::fileId(ops::kChecksumListName) == source)
            ops::failErrno(EACCES);
        if (const int err = ops::createFile(ops::kChecksumListName, m_file))
            ops::failErrno(err);
    }

    void add(const std::string &partPath, const ops::Sha256Digest &digest) override
    {
        m_buffer += ops::checksumLine(digest, ops::namePart(partPath));
        if (m_buffer.size() >= kFlushAt)
            flush();
    }

    void finish(const std::string &sourcePath, const ops::Sha256Digest &digest) override
    {
        m_buffer += ops::checksumLine(digest, ops::namePart(sourcePath));
        flush();
        if (const int err = m_file.close())
            ops::failErrno(err);
    }

private:
    void flush()
    {
        if (const int err = m_file.write(m_buffer.data(), m_buffer.size()))
            ops::failErrno(err);
        m_buffer.clear();
    }

    ops::File m_file;
    std::string m_buffer;
};

} // namespace

std::unique_ptr<ops::DigestList> DigestListFile::open(const std::optional<ops::FileId> &source)
{
    return std::make_unique<OpenDigestList>(source);
}

} // namespace recons
