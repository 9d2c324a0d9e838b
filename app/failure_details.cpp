// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure_details.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <locale.h>

namespace app {

namespace {

// The reasons Qt's own translations have, under the names Qt gives them.
const char *qtReason(int error)
{
    switch (error) {
    case EACCES:
        return "Permission denied";
    case EMFILE:
        return "Too many open files";
    case ENOENT:
        return "No such file or directory";
    case ENOSPC:
        return "No space left on device";
    default:
        return nullptr;
    }
}

// The C library's text, in the "C" locale's English or in the system's language.
QString systemReason(int error, Language language)
{
    const locale_t locale = newlocale(LC_ALL_MASK, language == Language::English ? "C" : "", locale_t(nullptr));
    if (locale == locale_t(nullptr))
        return QStringLiteral("errno %1").arg(error);
    const QString reason = QString::fromLocal8Bit(strerror_l(error, locale));
    freelocale(locale);
    return reason;
}

} // namespace

QString failureDetails(const std::string &path, int sysErrno, const std::string &why, Language language)
{
    QString reason = QString::fromStdString(why);
    if (reason.isEmpty() && sysErrno != 0) {
        if (const char *known = qtReason(sysErrno))
            reason = QCoreApplication::translate("QIODevice", known);
        else
            reason = systemReason(sysErrno, language);
    }
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    if (file.isEmpty())
        return reason;
    if (reason.isEmpty())
        return file;
    return file + QStringLiteral(": ") + reason;
}

} // namespace app
