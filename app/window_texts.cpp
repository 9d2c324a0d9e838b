// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_texts.h"

namespace app {

namespace {

// A question lists this many files by name; the rest are counted.
constexpr int kNamedFiles = 8;

bool english(Language language)
{
    return language == Language::English;
}

} // namespace

QString replaceQuestion(const QStringList &files, Language language)
{
    QString text = english(language) ? QStringLiteral("These files exist already; the Cut would replace them:\n")
                                     : QStringLiteral("Эти файлы уже есть, и разрезание заменит их:\n");
    for (int i = 0; i < files.size() && i < kNamedFiles; ++i)
        text += QLatin1Char('\n') + files[i];
    if (files.size() > kNamedFiles) {
        const QString more = QString::number(files.size() - kNamedFiles);
        text += english(language) ? QStringLiteral("\n... and %1 more").arg(more)
                                  : QStringLiteral("\n... и ещё %1").arg(more);
    }
    text += english(language) ? QStringLiteral("\n\nReplace them?") : QStringLiteral("\n\nЗаменить их?");
    return text;
}

QString eraseQuestion(const QString &file, Language language)
{
    return english(language) ? QStringLiteral(
                                   "Erase %1?\n\nEvery byte of it is overwritten with zeros, then the file is "
                                   "deleted. This cannot be undone.")
                                   .arg(file)
                             : QStringLiteral(
                                   "Удалить %1?\n\nВсе его байты будут затёрты нулями, затем файл будет удалён. "
                                   "Это нельзя отменить.")
                                   .arg(file);
}

QString closeWhileBusyQuestion(Language language)
{
    return english(language) ? QStringLiteral("An operation is running. Stop it and close the window?")
                             : QStringLiteral("Идёт операция. Прервать её и закрыть окно?");
}

QString stoppedNote(Language language)
{
    return english(language) ? QStringLiteral(
               "Stopped. The files it read are as they were; no half-written file took an "
               "output's name.")
                             : QStringLiteral(
                                 "Остановлено. Прочитанные файлы не изменились; ни один недописанный файл не "
                                 "получил имени результата.");
}

QString stopCaption(Language language)
{
    return english(language) ? QStringLiteral("&Stop") : QStringLiteral("&Стоп");
}

} // namespace app
