// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caption_table.h"

#include <QString>

#include <string>

namespace app {

// What a failure box offers behind "Show Details...": the file and the system's reason for the
// error number, as "FILE: REASON". The reasons Qt's translations carry are in the interface
// language; the others are the C library's, in English for the English interface and in the
// system's language for the Russian one. Either part may be missing (an empty path, errno 0);
// without both the details are empty.
QString failureDetails(const std::string &path, int sysErrno, Language language);

} // namespace app
