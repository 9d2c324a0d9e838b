// SPDX-License-Identifier: GPL-3.0-or-later
#include "part_list.h"

namespace lists {

OpenList OpenPartList(const std::string &folder, const fileio::FileIds &keep, fileio::AtomicOutput::Existing existing)
{
    return OpenList(openSetOutput(folder + kPartListName, keep, existing));
}

void AddToPartList(OpenList &list, const std::string &partPath)
{
    list.add(fileio::namePart(partPath) + "\r\n");
}

void ClosePartList(OpenList &list, const fileio::FileIds &keep, bool toDevice)
{
    list.close(keep, toDevice);
}

} // namespace lists
