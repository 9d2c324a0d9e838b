// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace app {

QtTranslation::~QtTranslation()
{
    apply(Language::English);
}

void QtTranslation::apply(Language language)
{
    if (language == Language::English) {
        if (m_installed)
            QCoreApplication::removeTranslator(&m_russian);
        m_installed = false;
        return;
    }
    if (m_installed)
        return;
    if (m_russian.isEmpty()
        && !m_russian.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    m_installed = QCoreApplication::installTranslator(&m_russian);
}

} // namespace app
