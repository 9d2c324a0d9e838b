// SPDX-License-Identifier: GPL-3.0-or-later
#include "system_errors.h"

#include <cerrno>

namespace fileio {

namespace {

constexpr SystemError kErrnoReports[] = {
    {ENOENT, 2}, {ENOTDIR, 3}, {ENAMETOOLONG, 3}, {EILSEQ, 3},   {EMFILE, 4},   {ENFILE, 4},
    {EACCES, 5}, {EPERM, 5},   {EROFS, 5},        {ENOSPC, 101}, {EDQUOT, 101},
};

} // namespace

std::span<const SystemError> namedSystemErrors()
{
    return kErrnoReports;
}

} // namespace fileio
