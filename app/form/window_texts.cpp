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

QString replaceOutputQuestion(const QString &file, Language language)
{
    return english(language) ? QStringLiteral("%1 exists already; the Unite would replace it.\n\nReplace it?").arg(file)
                             : QStringLiteral("%1 уже есть, и соединение заменит его.\n\nЗаменить?").arg(file);
}

QString leftOutQuestion(const QString &source, const QList<qint64> &leftOut, qint64 count, Language language)
{
    QStringList numbers;
    for (const qint64 n : leftOut)
        numbers << QString::number(n);
    QString listed = numbers.join(QStringLiteral(", "));
    if (count > leftOut.size())
        listed += english(language) ? QStringLiteral(" and %1 more").arg(count - leftOut.size())
                                    : QStringLiteral(" и ещё %1").arg(count - leftOut.size());
    return english(language) ? QStringLiteral(
                                   "The Cut leaves out parts %1 and then deletes %2: the bytes of those parts will "
                                   "exist nowhere.\n\nDelete the source all the same?")
                                   .arg(listed, source)
                             : QStringLiteral(
                                   "Части %1 не создаются, а %2 затем удаляется: байтов этих частей не останется нигде."
                                   "\n\nВсё равно удалить исходный файл?")
                                   .arg(listed, source);
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

QString partlyErasedNote(const QString &file, qint64 bytes, Language language)
{
    return english(language)
        ? QStringLiteral("Stopped after %1 bytes: %2 is partly overwritten and was kept.").arg(bytes).arg(file)
        : QStringLiteral("Остановлено после %1 байт: %2 частично затёрт нулями и сохранён.").arg(bytes).arg(file);
}

QString sourceKeptNote(const QString &file, Language language)
{
    return english(language)
        ? QStringLiteral("Stopped after the parts took their names: they are whole, and %1 was kept, not deleted.")
              .arg(file)
        : QStringLiteral("Остановлено, когда части уже получили имена: они целы, а %1 сохранён, не удалён.").arg(file);
}

QString stopCaption(Language language)
{
    return english(language) ? QStringLiteral("&Stop") : QStringLiteral("&Стоп");
}

} // namespace app
