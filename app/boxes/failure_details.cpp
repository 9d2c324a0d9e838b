// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure_details.h"

#include "reason_texts.h"

#include <QFile>

#include <cstring>
#include <locale.h>

namespace app {

namespace {

// The C library's text for an error number the table lacks: English in the "C" locale, else in the
// system's language (Russian where the system has its messages).
QString systemReason(int error, Language language)
{
    locale_t locale = locale_t(nullptr);
    if (language == Language::Russian)
        locale = newlocale(LC_ALL_MASK, "ru_RU.UTF-8", locale_t(nullptr));
    if (locale == locale_t(nullptr))
        locale = newlocale(LC_ALL_MASK, language == Language::English ? "C" : "", locale_t(nullptr));
    if (locale == locale_t(nullptr))
        return QStringLiteral("errno %1").arg(error);
    const QString reason = QString::fromLocal8Bit(strerror_l(error, locale));
    freelocale(locale);
    return reason;
}

} // namespace

QString failureDetails(const std::string &path, int sysErrno, const std::string &why, Language language)
{
    QString reason;
    if (!why.empty())
        reason = reasonText(why, language);
    else if (const std::optional<QString> known = errnoReason(sysErrno, language))
        reason = *known;
    else if (sysErrno != 0)
        reason = systemReason(sysErrno, language);
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    if (file.isEmpty())
        return reason;
    if (reason.isEmpty())
        return file;
    return file + QStringLiteral(": ") + reason;
}

} // namespace app
