// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/form/caption_table.h"

#include <QString>

#include <optional>
#include <string>

namespace app {

// The reasons a failure's details give, in the interface language.

// A reason the operations give in words (fileio::Failure::why(), always English), in `language`;
// one the table lacks stays as given.
QString reasonText(const std::string &why, Language language);

// The system's reason for the error numbers the program meets (no space, permission denied, a
// read-only file system, not found, a folder where a file was wanted, ...); none for the others.
std::optional<QString> errnoReason(int error, Language language);

} // namespace app
