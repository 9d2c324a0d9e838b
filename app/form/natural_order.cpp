// SPDX-License-Identifier: GPL-3.0-or-later
#include "natural_order.h"

#include <QLocale>

namespace app {

QCollator naturalOrder(Language language)
{
    QCollator order(QLocale(language == Language::English ? QLocale::English : QLocale::Russian));
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    return order;
}

} // namespace app
