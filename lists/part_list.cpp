// SPDX-License-Identifier: GPL-3.0-or-later
#include "part_list.h"

#include "fileio/failure.h"
#include "fileio/io_error.h"

namespace lists {

OpenList OpenPartList(const std::string &folder, const fileio::FileIds &keep, fileio::AtomicOutput::Existing existing)
{
    return OpenList(openSetOutput(folder + kPartListName, keep, existing));
}

bool partListCanHold(std::string_view name)
{
    return name.find_first_of("\r\n\x1a") == std::string_view::npos;
}

void AddToPartList(OpenList &list, const std::string &partPath)
{
    const std::string name = fileio::namePart(partPath);
    if (!partListCanHold(name))
        throw fileio::Failure(fileio::IoErrorReport(fileio::IoError::fromErrno(fileio::invalidNameError())), partPath,
                              0, kPartListCannotHold);
    list.add(name + "\r\n");
}

void ClosePartList(OpenList &list, const fileio::FileIds &keep, bool toDevice)
{
    list.close(keep, toDevice);
}

} // namespace lists
