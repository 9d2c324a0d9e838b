#include "part_list_files.h"

#include "part_list.h"
#include "write_recons.h"

namespace recons {

namespace {

class PartListFile final : public ops::PartList {
public:
    PartListFile(const std::optional<fileio::FileId> &source, JoinerPlatform joiner)
        : m_source(source), m_joiner(joiner), m_list(OpenPartList(source))
    {
    }

    void add(const std::string &partPath) override { AddToPartList(m_list, partPath); }

    void finish() override
    {
        WriteRecons(m_source, m_joiner);
        ClosePartList(m_list);
    }

private:
    std::optional<fileio::FileId> m_source;
    JoinerPlatform m_joiner;
    // A list dropped unfinished is closed by its file, without writing out buffered names.
    OpenList m_list;
};

} // namespace

std::unique_ptr<ops::PartList> PartListFiles::open(const std::optional<fileio::FileId> &source)
{
    return std::make_unique<PartListFile>(source, m_joiner);
}

} // namespace recons
