// SPDX-License-Identifier: GPL-3.0-or-later
#include "system_errors.h"

#include <windows.h>

namespace fileio {

namespace {

// Windows' own numbers 2 to 5 already are the report's; the rest say the same as their errno
// counterparts do on Linux.
constexpr SystemError kWindowsReports[] = {
    {ERROR_FILE_NOT_FOUND, 2},       {ERROR_PATH_NOT_FOUND, 3},         {ERROR_INVALID_NAME, 3},
    {ERROR_FILENAME_EXCED_RANGE, 3}, {ERROR_NO_UNICODE_TRANSLATION, 3}, {ERROR_TOO_MANY_OPEN_FILES, 4},
    {ERROR_ACCESS_DENIED, 5},        {ERROR_WRITE_PROTECT, 5},          {ERROR_HANDLE_DISK_FULL, 101},
    {ERROR_DISK_FULL, 101},
};

} // namespace

std::span<const SystemError> namedSystemErrors()
{
    return kWindowsReports;
}

} // namespace fileio
