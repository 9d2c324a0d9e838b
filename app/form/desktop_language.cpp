// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop_language.h"

#include <QLocale>

namespace app {

Language desktopLanguage(const QStringList &uiLanguages)
{
    if (!uiLanguages.isEmpty() && QLocale(uiLanguages.front()).language() == QLocale::Russian)
        return Language::Russian;
    return Language::English;
}

Language desktopLanguage()
{
    return desktopLanguage(QLocale::system().uiLanguages());
}

} // namespace app
