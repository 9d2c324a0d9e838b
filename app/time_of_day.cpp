// SPDX-License-Identifier: GPL-3.0-or-later
#include "time_of_day.h"

namespace app {

namespace {

// Drops the format's time zone fields ("t" outside quotes) and the brackets or spaces they leave.
QString withoutZone(const QString &format)
{
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        kept += c;
    }
    kept.remove(QStringLiteral("()"));
    return kept.simplified();
}

} // namespace

QString timeOfDayText(const QLocale &locale, QTime time)
{
    return locale.toString(time, withoutZone(locale.timeFormat(QLocale::LongFormat)));
}

} // namespace app
