// SPDX-License-Identifier: GPL-3.0-or-later
#include "links.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

// Set by the build from its cache variables; an empty text stands for the shipped page.
#ifndef SKARVEL_MAKER_PAGE
#define SKARVEL_MAKER_PAGE ""
#endif
#ifndef SKARVEL_ADVERTISER_PAGE
#define SKARVEL_ADVERTISER_PAGE ""
#endif
#ifndef SKARVEL_MAIL_ADDRESS
#define SKARVEL_MAIL_ADDRESS "skarvel@example.org"
#endif
#ifndef SKARVEL_SPONSOR_PAGE
#define SKARVEL_SPONSOR_PAGE ""
#endif
#ifndef SKARVEL_DATA_FROM_BIN
#define SKARVEL_DATA_FROM_BIN "../share/skarvel"
#endif
#ifndef SKARVEL_DATA_DIR
#define SKARVEL_DATA_DIR "/usr/local/share/skarvel"
#endif

namespace app::links {

namespace {

constexpr const char kMakerPage[] = SKARVEL_MAKER_PAGE;
constexpr const char kAdvertiserPage[] = SKARVEL_ADVERTISER_PAGE;
constexpr const char kMailAddress[] = SKARVEL_MAIL_ADDRESS;
constexpr const char kSponsorPage[] = SKARVEL_SPONSOR_PAGE;
constexpr const char kReferral[] = "ref=skarvel-panel";

constexpr const char kMakerFile[] = "advertising.html";
constexpr const char kSponsorFile[] = "sponsor.html";

QString configuredOr(const char *configured, const QString &fallback)
{
    const QString text = QString::fromUtf8(configured);
    return text.isEmpty() ? fallback : text;
}

} // namespace

QString shippedPage(const QString &fileName)
{
    const QString besideProgram = QDir(QCoreApplication::applicationDirPath())
                                      .filePath(QString::fromUtf8(SKARVEL_DATA_FROM_BIN) + QLatin1Char('/') + fileName);
    const QString installed = QDir(QString::fromUtf8(SKARVEL_DATA_DIR)).filePath(fileName);
    const QString path = QFileInfo::exists(besideProgram) ? besideProgram : installed;
    return QUrl::fromLocalFile(QDir::cleanPath(path)).toString(QUrl::FullyEncoded);
}

QString makerPage()
{
    return configuredOr(kMakerPage, shippedPage(QString::fromLatin1(kMakerFile)));
}

QString advertiserPage()
{
    const QString maker = makerPage();
    const QChar separator = maker.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?');
    return configuredOr(kAdvertiserPage, maker + separator + QLatin1String(kReferral));
}

QString mailAddress()
{
    return QString::fromUtf8(kMailAddress);
}

QString mailLink()
{
    return QLatin1String("mailto:") + mailAddress();
}

QString sponsorPage()
{
    return configuredOr(kSponsorPage, shippedPage(QString::fromLatin1(kSponsorFile)));
}

} // namespace app::links
