// SPDX-License-Identifier: GPL-3.0-or-later
#include "checksum_list_file.h"

#include "lists/set_output.h"

#include "lists/checksum_list.h"

namespace partset {

namespace {

class OpenChecksumList final : public ops::ChecksumListSink {
public:
    OpenChecksumList(const std::string &folder, fileio::FileIds &keep, fileio::AtomicOutput::Existing existing)
        : m_keep(keep), m_list(lists::openSetOutput(folder + lists::kChecksumListName, keep, existing))
    {
        if (const std::optional<fileio::FileId> id = m_list.id())
            keep.insert(*id);
    }

    void add(const std::string &partPath, const digest::Sha256Digest &digest) override
    {
        m_list.add(lists::checksumLine(digest, fileio::namePart(partPath)));
    }

    void finish(const std::string &sourcePath, const digest::Sha256Digest &digest, bool complete,
                bool toDevice) override
    {
        // sha256sum passes over comment lines; a join reads this one as "the parts do not make
        // the whole file".
        if (!complete)
            m_list.add(std::string(lists::kIncompleteSetComment) + "\n");
        m_list.add(lists::checksumLine(digest, fileio::namePart(sourcePath)));
        m_list.close(m_keep, toDevice);
    }

private:
    const fileio::FileIds &m_keep;
    lists::OpenList m_list;
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
