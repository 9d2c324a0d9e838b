// SPDX-License-Identifier: GPL-3.0-or-later
#include "part_list.h"

#include "set_output.h"

#include "fileio/io_error.h"

namespace lists {

namespace {

constexpr std::size_t kBufferSize = 4096;

} // namespace

int OpenList::flush()
{
    const int err = m_output.file().write(m_buffer.data(), m_buffer.size());
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

OpenList OpenPartList(const std::string &folder, const fileio::FileIds &keep, fileio::AtomicOutput::Existing existing)
{
    return OpenList(openSetOutput(folder + kPartListName, keep, existing));
}

void AddToPartList(OpenList &list, const std::string &partPath)
{
    list.append(fileio::namePart(partPath) + "\r\n");
    if (list.full()) {
        if (const int err = list.flush())
            fileio::failErrno(err, list.path());
    }
}

void ClosePartList(OpenList &list, const fileio::FileIds &keep, bool toDevice)
{
    if (const int err = list.flush())
        fileio::failErrno(err, list.path());
    finishSetOutput(list.path(), list.finish(keep, toDevice));
}

} // namespace lists
