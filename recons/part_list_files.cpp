#include "part_list_files.h"

#include "part_list.h"
#include "write_recons.h"

namespace recons {

namespace {

class PartListFile final : public ops::PartList {
public:
    PartListFile() : m_list(OpenPartList()) {}

    void add(const std::string &partPath) override { AddToPartList(m_list, partPath); }

    void finish() override
    {
        WriteRecons();
        ClosePartList(m_list);
    }

private:
    // A list dropped unfinished is closed by its file, without writing out buffered names.
    OpenList m_list;
};

} // namespace

std::unique_ptr<ops::PartList> PartListFiles::open()
{
    return std::make_unique<PartListFile>();
}

} // namespace recons
