// SPDX-License-Identifier: GPL-3.0-or-later
#include "checksum_list_file.h"

#include "lists/set_output.h"

#include "lists/checksum_list.h"

namespace partset {

namespace {

class OpenChecksumList final : public ops::ChecksumListSink {
public:
    OpenChecksumList(const std::string &folder, fileio::FileIds &keep, fileio::AtomicOutput::Existing existing)
        : m_list(lists::openSetOutput(folder + lists::kChecksumListName, keep, existing))
    {
        if (const std::optional<fileio::FileId> id = m_list.id())
            keep.insert(*id);
    }

    void add(const std::string &partPath, const digest::Sha256Digest &digest) override
    {
        m_list.add(lists::checksumLine(digest, fileio::namePart(partPath)));
    }

    void finish(const std::string &sourcePath, const digest::Sha256Digest &digest, bool complete,
                fileio::OutputBatch &batch) override
    {
        // sha256sum passes over comment lines; a join reads the first as "the parts do not make
        // the whole file", verify either as "the next line is the whole file".
        m_list.add(std::string(complete ? lists::kWholeFileComment : lists::kIncompleteSetComment) + "\n");
        m_list.add(lists::checksumLine(digest, fileio::namePart(sourcePath)));
        m_list.finishInto(batch);
    }

private:
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
