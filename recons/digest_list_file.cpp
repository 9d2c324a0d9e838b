// SPDX-License-Identifier: GPL-3.0-or-later
#include "digest_list_file.h"

#include "set_output.h"

#include "digest/checksum_list.h"
#include "fileio/io_error.h"

namespace recons {

namespace {

constexpr std::size_t kFlushAt = 4096;

class OpenDigestList final : public ops::DigestList {
public:
    OpenDigestList(const std::string &folder, fileio::FileIds &keep, fileio::AtomicOutput::Existing existing)
        : m_keep(keep), m_output(openSetOutput(folder + digest::kChecksumListName, keep, existing))
    {
        if (const std::optional<fileio::FileId> id = m_output.id())
            keep.insert(*id);
    }

    void add(const std::string &partPath, const digest::Sha256Digest &digest) override
    {
        m_buffer += digest::checksumLine(digest, fileio::namePart(partPath));
        if (m_buffer.size() >= kFlushAt)
            flush();
    }

    void finish(const std::string &sourcePath, const digest::Sha256Digest &digest, bool complete,
                bool toDevice) override
    {
        // sha256sum passes over comment lines; a join reads this one as "the parts do not make
        // the whole file".
        if (!complete)
            m_buffer += std::string(digest::kIncompleteSetComment) + "\n";
        m_buffer += digest::checksumLine(digest, fileio::namePart(sourcePath));
        flush();
        finishSetOutput(m_output.target(), m_output.finish(m_keep, toDevice));
    }

private:
    void flush()
    {
        if (const int err = m_output.file().write(m_buffer.data(), m_buffer.size()))
            fileio::failErrno(err, m_output.target());
        m_buffer.clear();
    }

    const fileio::FileIds &m_keep;
    fileio::AtomicOutput m_output;
    std::string m_buffer;
};

} // namespace

std::vector<std::string> DigestListFile::fileNames(const std::string &folder) const
{
    return {folder + digest::kChecksumListName};
}

std::unique_ptr<ops::DigestList> DigestListFile::open(const std::string &folder, fileio::FileIds &keep,
                                                      fileio::AtomicOutput::Existing existing)
{
    return std::make_unique<OpenDigestList>(folder, keep, existing);
}

} // namespace recons
