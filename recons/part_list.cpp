// SPDX-License-Identifier: GPL-3.0-or-later
#include "part_list.h"

#include "close_output.h"

#include "fileio/io_error.h"

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

OpenList OpenPartList(const fileio::FileIds &keep)
{
    // Whatever bears the list's name is emptied, but never a file in `keep` (the file being cut).
    fileio::File file;
    if (const int err = fileio::createFile(kPartListName, file, keep))
        fileio::failErrno(err == fileio::kKeptFile ? EACCES : err);
    return OpenList(std::move(file));
}

void AddToPartList(OpenList &list, const std::string &partPath)
{
    list.append(fileio::namePart(partPath) + "\r\n");
    if (list.full()) {
        if (const int err = list.flush())
            fileio::failErrno(err);
    }
}

void ClosePartList(OpenList &list, bool toDevice)
{
    if (const int err = list.flush())
        fileio::failErrno(err);
    closeOutput(list, toDevice);
}

} // namespace recons
