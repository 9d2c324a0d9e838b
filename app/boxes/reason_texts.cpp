// SPDX-License-Identifier: GPL-3.0-or-later
#include "reason_texts.h"

#include "fileio/failure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace app {

namespace {

struct OwnReason {
    const char *english; // exactly as the operation gives it
    const char *russian;
};

// Every reason in words that ops/, lists/, partset/ and fileio/ put into a failure. A reason added
// there gets its row here.
constexpr OwnReason kOwnReasons[] = {
    // Cut
    {"the marker text holds a '/', which would lead into a folder",
     "текст в именах частей содержит «/», который завёл бы в папку"},
    {"info.txt cannot hold a name with a line end or Ctrl-Z",
     "в info.txt нельзя записать имя с концом строки или Ctrl-Z"},
    {"it is the file being cut, or one this cut has made",
     "это разрезаемый файл или файл, уже сделанный этим разрезанием"},
    {"a set of fewer than two parts cannot be joined by its joiners",
     "набор меньше чем из двух частей не соединить его программами сборки"},
    {"a symbolic link: deleting it would leave the file it leads to",
     "это символическая ссылка: удалив её, файл, на который она ведёт, остался бы на месте"},
    {"deleting it would lose the parts left out, which exist nowhere else",
     "удаление потеряло бы несозданные части, которых больше нигде нет"},
    {"the parts to make again are none of the cut's", "таких частей у этого разрезания нет"},
    {"a marker does not go with parts numbered after the name (.001)",
     "текст в именах не сочетается с номерами частей после имени (.001)"},
    {"a part count is from 2 to 255", "число частей — от 2 до 255"},
    {"a part size cannot be negative", "размер части не может быть отрицательным"},
    {"a stream is cut by size into every part, and is not deleted",
     "поток режется по размеру на все части и не удаляется"},
    {"it names an open descriptor, such as /dev/stdin, not a file in a folder",
     "это имя открытого дескриптора, как /dev/stdin, а не файла в папке"},
    // Unite
    {"a name with * or ? is the unchanged placeholder, not a file",
     "имя с * или ? — это оставленный образец, а не файл"},
    {"it is one of the files being joined, or a list they come from",
     "это один из соединяемых файлов или список, из которого они взяты"},
    {"standard output is one of the files being joined, or a list they come from",
     "стандартный вывод — один из соединяемых файлов или список, из которого они взяты"},
    {"it ended before its size", "файл закончился раньше, чем указывал его размер"},
    {"not a regular file", "это не обычный файл"},
    {"there are no files to join", "нет файлов для соединения"},
    // Codify
    {"the data file and the key file are one file", "файл данных и файл-ключ — один и тот же файл"},
    {"it has other names (hard links), which would keep the old bytes",
     "у файла есть другие имена (жёсткие ссылки), и под ними остались бы прежние байты"},
    {"a buff.vq is there already, perhaps the result of a run that was cut short: it is left alone",
     "buff.vq уже есть, возможно, от прерванного запуска: он оставлен как есть"},
    // Erase
    {"a symbolic link: the file it leads to would be zeroed and kept",
     "это символическая ссылка: затёрт был бы файл, на который она ведёт, и он остался бы"},
    {"it has other names (hard links), which would keep the zeros",
     "у файла есть другие имена (жёсткие ссылки), и под ними остались бы нули"},
    {"it changed while it was overwritten, so it was kept", "файл изменился, пока его затирали, и сохранён"},
    // The file layer's own error numbers (fileio::errorText)
    {"it is one of the files this run reads or has made",
     "это один из файлов, которые операция читает или уже сделала"},
    {"a symbolic link", "это символическая ссылка"},
    {"changed while it was read", "файл изменился, пока его читали"},
};

// A reason with numbers in it: its English head, and the Russian with the numbers in order.
struct CountedReason {
    const char *pattern; // as std::sscanf reads it
    const char *russian; // %1 and %2 for the numbers
};

constexpr CountedReason kCountedReasons[] = {
    {"%lld bytes cannot be cut into %lld parts", "%1 байт нельзя разрезать на %2 частей хотя бы по одному байту"},
    {"%lld byte cannot be cut into %lld parts", "%1 байт нельзя разрезать на %2 частей хотя бы по одному байту"},
    {"parts of %lld bytes do not fit a FAT file system (at most %lld bytes a file)",
     "части по %1 байт не поместятся в файловой системе FAT (в ней файл не больше %2 байт): выберите размер fat32"},
};

// A reason with one character of the user's in it, as the operation shows it: the English around
// it, and the Russian with %1 for it.
struct QuotedReason {
    const char *pattern; // as std::sscanf reads it, %n at the end
    const char *russian;
};

constexpr QuotedReason kQuotedReasons[] = {
    {"the marker text holds %63[^,], which FAT and Windows file systems do not take in a name%n",
     "текст в именах частей содержит %1, а файловые системы FAT и Windows не допускают его в именах"},
};

struct SystemReason {
    int error;
    const char *english; // as the C library says it
    const char *russian;
};

constexpr SystemReason kSystemReasons[] = {
    {ENOSPC, "No space left on device", "Нет свободного места на устройстве"},
    {EDQUOT, "Disk quota exceeded", "Превышена дисковая квота"},
    {EACCES, "Permission denied", "Доступ запрещён"},
    {EPERM, "Operation not permitted", "Операция не позволена"},
    {EROFS, "Read-only file system", "Файловая система доступна только для чтения"},
    {ENOENT, "No such file or directory", "Нет такого файла или каталога"},
    {EISDIR, "Is a directory", "Это каталог, а не обычный файл"},
    {ENOTDIR, "Not a directory", "Это не каталог"},
    {EEXIST, "File exists", "Файл уже существует"},
    {ENAMETOOLONG, "File name too long", "Слишком длинное имя файла"},
    {EMFILE, "Too many open files", "Слишком много открытых файлов"},
    {EIO, "Input/output error", "Ошибка ввода-вывода"},
};

} // namespace

QString reasonText(const std::string &why, Language language)
{
    if (language == Language::Russian) {
        for (const OwnReason &row : kOwnReasons) {
            if (why == row.english)
                return QString::fromUtf8(row.russian);
        }
        for (const CountedReason &row : kCountedReasons) {
            long long first = 0;
            long long second = 0;
            if (std::sscanf(why.c_str(), row.pattern, &first, &second) == 2)
                return QString::fromUtf8(row.russian).arg(first).arg(second);
        }
        for (const QuotedReason &row : kQuotedReasons) {
            char quoted[64] = {};
            int end = 0;
            if (std::sscanf(why.c_str(), row.pattern, quoted, &end) == 1 && static_cast<std::size_t>(end) == why.size())
                return QString::fromUtf8(row.russian).arg(QString::fromUtf8(quoted));
        }
    }
    return QString::fromStdString(why);
}

std::optional<QString> errnoReason(int error, Language language)
{
    // The file layer's own numbers are below 0, and say their reasons in words.
    if (error < 0)
        return reasonText(fileio::errorText(error), language);
    for (const SystemReason &row : kSystemReasons) {
        if (row.error == error)
            return QString::fromUtf8(language == Language::English ? row.english : row.russian);
    }
    return std::nullopt;
}

} // namespace app
