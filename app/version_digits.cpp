// SPDX-License-Identifier: GPL-3.0-or-later
#include "version_digits.h"

#include "skarvel_version.h"

#include <QStringList>

namespace app {

QString versionDigits()
{
    const QStringList numbers = QString::fromLatin1(kSkarvelVersion).split(QLatin1Char('.'));
    QString digits;
    for (int i = 0; i < 2; ++i)
        digits += QStringLiteral("%1").arg(numbers.value(i).toInt(), 2, 10, QLatin1Char('0'));
    return digits;
}

} // namespace app
