// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace app {

// Orders names as people number files: runs of the digits 0 to 9 compare as numbers ("film2"
// before "film10"), everything else case-insensitively, character by character. Names without
// digit runs come out as a case-insensitive comparison orders them.
bool naturalLess(const QString &a, const QString &b);

} // namespace app
