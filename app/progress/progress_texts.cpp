// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress_texts.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace app {

namespace {

// An estimate once a second has gone by and a hundredth is done: before, a slow start (a disk
// spinning up, a cache filling) makes it wild.
constexpr double kEstimateAfterSeconds = 1.0;
constexpr double kEstimateAfterShare = 0.01;

bool english(Language language)
{
    return language == Language::English;
}

// Russian nouns after a number take one of three forms: 1 часть, 2 части, 5 частей.
QString counted(std::int64_t n, const char *one, const char *few, const char *many, Language language,
                const char *englishOne, const char *englishMany)
{
    if (english(language))
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? englishOne : englishMany));
    const std::int64_t tens = n % 100, last = n % 10;
    const char *form = (last == 1 && tens != 11)               ? one
        : (last >= 2 && last <= 4 && (tens < 12 || tens > 14)) ? few
                                                               : many;
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(form));
}

} // namespace

std::optional<double> secondsLeft(double share, double seconds)
{
    if (seconds < kEstimateAfterSeconds || share < kEstimateAfterShare)
        return std::nullopt;
    return seconds * (1.0 - std::min(share, 1.0)) / share;
}

QString runningText(double share, std::optional<double> left, Language language)
{
    // Never 100 % before the end.
    const int percent = static_cast<int>(std::floor(std::clamp(share, 0.0, 1.0) * 100.0));
    QString text = english(language) ? QStringLiteral("%1%").arg(percent) : QStringLiteral("%1\u00a0%").arg(percent);
    if (left) {
        text += english(language) ? QStringLiteral(", %1 left").arg(durationText(*left, language))
                                  : QStringLiteral(", осталось %1").arg(durationText(*left, language));
    }
    return text;
}

QString finishedText(Finished what, std::int64_t units, std::int64_t bytes, double seconds, Language language)
{
    const bool en = english(language);
    QString made;
    switch (what) {
    case Finished::Cut:
        made = counted(units, "часть", "части", "частей", language, "part", "parts");
        break;
    case Finished::Unite:
        made = (en ? QStringLiteral("United: ") : QStringLiteral("Соединено: "))
            + counted(units, "файл", "файла", "файлов", language, "file", "files");
        break;
    case Finished::Encipher:
        made = en ? QStringLiteral("Enciphered:") : QStringLiteral("Зашифровано:");
        break;
    case Finished::Decipher:
        made = en ? QStringLiteral("Deciphered:") : QStringLiteral("Расшифровано:");
        break;
    case Finished::Erase:
        made = en ? QStringLiteral("Erased:") : QStringLiteral("Затёрто и удалено:");
        break;
    }
    // A word ending in a colon is followed by the size; a count by a comma.
    const QString joint = made.endsWith(QLatin1Char(':')) ? QStringLiteral(" ") : QStringLiteral(", ");
    return made + joint + sizeText(bytes, language)
        + (en ? QStringLiteral(", in %1") : QStringLiteral(", за %1")).arg(durationText(seconds, language));
}

QString sizeText(std::int64_t bytes, Language language)
{
    static constexpr std::array kEnglish{"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    static constexpr std::array kRussian{"КиБ", "МиБ", "ГиБ", "ТиБ", "ПиБ", "ЭиБ"};
    if (bytes < 1024)
        return QStringLiteral("%1 %2").arg(bytes).arg(english(language) ? QStringLiteral("B") : QStringLiteral("Б"));
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    for (; value >= 1024.0 && unit + 1 < kEnglish.size(); value /= 1024.0)
        ++unit;
    QString number = QString::number(value, 'f', 1);
    if (!english(language))
        number.replace(QLatin1Char('.'), QLatin1Char(','));
    return number + QLatin1Char(' ') + QString::fromUtf8(english(language) ? kEnglish[unit] : kRussian[unit]);
}

QString durationText(double seconds, Language language)
{
    const auto whole = static_cast<std::int64_t>(std::ceil(std::max(seconds, 0.0)));
    const std::int64_t hours = whole / 3600, minutes = whole / 60 % 60, rest = whole % 60;
    const bool en = english(language);
    const QString h = en ? QStringLiteral("h") : QStringLiteral("ч");
    const QString min = en ? QStringLiteral("min") : QStringLiteral("мин");
    const QString s = en ? QStringLiteral("s") : QStringLiteral("с");
    if (hours > 0)
        return QStringLiteral("%1 %2 %3 %4").arg(hours).arg(h).arg(minutes).arg(min);
    if (minutes > 0)
        return QStringLiteral("%1 %2 %3 %4").arg(minutes).arg(min).arg(rest).arg(s);
    return QStringLiteral("%1 %2").arg(rest).arg(s);
}

} // namespace app
