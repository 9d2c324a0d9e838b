// SPDX-License-Identifier: GPL-3.0-or-later
#include "part_list_files.h"

#include "lists/part_list.h"
#include "lists/set_output.h"
#include "write_recons.h"

#include "fileio/io_error.h"

namespace partset {

namespace {

class PartListFile final : public ops::PartListSink {
public:
    PartListFile(const std::string &folder, fileio::FileIds &keep, fileio::AtomicOutput::Existing existing,
                 const std::vector<JoinerPlatform> &joiners)
        : m_folder(folder), m_keep(keep), m_existing(existing), m_joiners(joiners),
          m_list(lists::OpenPartList(folder, keep, existing))
    {
        if (const std::optional<fileio::FileId> id = m_list.id())
            keep.insert(*id);
        // The joiners are written last: one in the way is found before any part is made.
        for (const JoinerPlatform joiner : m_joiners) {
            if (existing == fileio::AtomicOutput::Existing::Refuse)
                lists::refuseExisting(folder + joinerFileName(joiner));
        }
    }

    void add(const std::string &partPath) override { lists::AddToPartList(m_list, partPath); }

    void finish(fileio::OutputBatch &batch) override
    {
        for (const JoinerPlatform joiner : m_joiners) {
            std::string failed;
            if (const int err = batch.add(writeJoiner(m_folder, m_keep, joiner, m_existing), failed))
                fileio::failErrno(err, failed);
        }
        m_list.finishInto(batch);
    }

private:
    std::string m_folder;
    const fileio::FileIds &m_keep;
    fileio::AtomicOutput::Existing m_existing;
    std::vector<JoinerPlatform> m_joiners;
    // A list dropped unfinished takes its temporary file with it.
    lists::OpenList m_list;
};

} // namespace

std::vector<std::string> PartListFiles::fileNames(const std::string &folder) const
{
    std::vector<std::string> names{folder + lists::kPartListName};
    for (const JoinerPlatform joiner : m_joiners)
        names.push_back(folder + joinerFileName(joiner));
    return names;
}

std::unique_ptr<ops::PartListSink> PartListFiles::open(const std::string &folder, fileio::FileIds &keep,
                                                       fileio::AtomicOutput::Existing existing)
{
    return std::make_unique<PartListFile>(folder, keep, existing, m_joiners);
}

} // namespace partset
