// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caption_table.h"

#include <QStringList>

namespace app {

// The language the window starts in: Russian where Russian comes first among the desktop's
// interface languages (QLocale::uiLanguages(), "ru-RU", "en-US", ...), English otherwise.
Language desktopLanguage(const QStringList &uiLanguages);
// Of the system's locale.
Language desktopLanguage();

} // namespace app
