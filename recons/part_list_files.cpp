// SPDX-License-Identifier: GPL-3.0-or-later
#include "part_list_files.h"

#include "part_list.h"
#include "write_recons.h"

#include "fileio/io_error.h"

#include <cerrno>

namespace recons {

namespace {

class PartListFile final : public ops::PartList {
public:
    PartListFile(fileio::FileIds &keep, JoinerPlatform joiner)
        : m_keep(keep), m_joiner(joiner), m_list(OpenPartList(keep))
    {
        const std::optional<fileio::FileId> id = m_list.id();
        if (!id)
            fileio::failErrno(EIO);
        keep.insert(*id);
    }

    void add(const std::string &partPath) override { AddToPartList(m_list, partPath); }

    void finish(bool toDevice) override
    {
        WriteRecons(m_keep, toDevice, m_joiner);
        ClosePartList(m_list, toDevice);
    }

private:
    const fileio::FileIds &m_keep;
    JoinerPlatform m_joiner;
    // A list dropped unfinished is closed by its file, without writing out buffered names.
    OpenList m_list;
};

} // namespace

std::unique_ptr<ops::PartList> PartListFiles::open(fileio::FileIds &keep)
{
    return std::make_unique<PartListFile>(keep, m_joiner);
}

} // namespace recons
