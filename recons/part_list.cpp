#include "part_list.h"

#include "ops/ioerror.h"

#include <cerrno>

namespace recons {

namespace {

constexpr std::size_t kBufferSize = 4096;

} // namespace

int OpenList::flush()
{
    const int err = m_file.write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return err;
}

void OpenList::append(const std::string &text)
{
    m_buffer += text;
}

bool OpenList::full() const
{
    return m_buffer.size() >= kBufferSize;
}

OpenList OpenPartList(const std::optional<ops::FileId> &keep)
{
    // Creating the list empties whatever bears its name: never the file being cut.
    if (keep && ops::fileId(kPartListName) == keep)
        ops::failErrno(EACCES);
    ops::File file;
    if (const int err = ops::createFile(kPartListName, file))
        ops::failErrno(err);
    return OpenList(std::move(file));
}

void AddToPartList(OpenList &list, const std::string &partPath)
{
    list.append(ops::namePart(partPath) + "\r\n");
    if (list.full()) {
        if (const int err = list.flush())
            ops::failErrno(err);
    }
}

void ClosePartList(OpenList &list)
{
    if (const int err = list.flush())
        ops::failErrno(err);
    if (const int err = list.close())
        ops::failErrno(err);
}

} // namespace recons
