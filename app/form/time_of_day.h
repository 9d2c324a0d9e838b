// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTime>

namespace app {

// The time of day as the marker list's item holds it, "14-05-09": 24 hours, two digits each, joined
// by hyphens, in both languages. It goes into part names, so it holds only characters that every
// file system takes in a name (no ":" and no " PM", which FAT and Windows refuse).
QString timeOfDayText(QTime time);

} // namespace app
