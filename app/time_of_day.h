// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

namespace app {

// The time of day in `locale`'s long time format without the time zone: "14:05:09", "2:05:09 PM".
QString timeOfDayText(const QLocale &locale, QTime time);

} // namespace app
