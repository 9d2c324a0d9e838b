// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace app {

// The four digits the window shows for the program's version: major and minor, two digits each
// ("0.8" gives "0008").
QString versionDigits();

} // namespace app
