// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/form/caption_table.h"

#include <QString>

#include <string>

namespace app {

// What a failure box offers behind "Show Details...": the file and the reason, as "FILE: REASON",
// the reason in the interface language: the one the operation gave in words (`why`), else the
// system's reason for the error number (see reason_texts.h). Either part may be missing (an empty
// path, no reason); without both the details are empty.
QString failureDetails(const std::string &path, int sysErrno, const std::string &why, Language language);

} // namespace app
