// SPDX-License-Identifier: GPL-3.0-or-later
#include "time_of_day.h"

namespace app {

QString timeOfDayText(QTime time)
{
    return time.toString(QStringLiteral("HH-mm-ss")); // in the C locale: ASCII digits
}

} // namespace app
