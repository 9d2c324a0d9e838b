// SPDX-License-Identifier: GPL-3.0-or-later
#include "checksum_list_file.h"

#include "lists/set_output.h"

#include "lists/checksum_list.h"
#include "fileio/io_error.h"

namespace partset {

namespace {

constexpr std::size_t kFlushAt = 4096;

class OpenChecksumList final : public ops::ChecksumListSink {
public:
    OpenChecksumList(const std::string &folder, fileio::FileIds &keep, fileio::AtomicOutput::Existing existing)
        : m_keep(keep), m_output(lists::openSetOutput(folder + lists::kChecksumListName, keep, existing))
    {
        if (const std::optional<fileio::FileId> id = m_output.id())
            keep.insert(*id);
    }

    void add(const std::string &partPath, const digest::Sha256Digest &digest) override
    {
        m_buffer += lists::checksumLine(digest, fileio::namePart(partPath));
        if (m_buffer.size() >= kFlushAt)
            flush();
    }

    void finish(const std::string &sourcePath, const digest::Sha256Digest &digest, bool complete,
                bool toDevice) override
    {
        // sha256sum passes over comment lines; a join reads this one as "the parts do not make
        // the whole file".
        if (!complete)
            m_buffer += std::string(lists::kIncompleteSetComment) + "\n";
        m_buffer += lists::checksumLine(digest, fileio::namePart(sourcePath));
        flush();
        lists::finishSetOutput(m_output.target(), m_output.finish(m_keep, toDevice));
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

std::vector<std::string> ChecksumListFile::fileNames(const std::string &folder) const
{
    return {folder + lists::kChecksumListName};
}

std::unique_ptr<ops::ChecksumListSink> ChecksumListFile::open(const std::string &folder, fileio::FileIds &keep,
                                                              fileio::AtomicOutput::Existing existing)
{
    return std::make_unique<OpenChecksumList>(folder, keep, existing);
}

} // namespace partset
