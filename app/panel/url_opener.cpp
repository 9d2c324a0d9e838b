// SPDX-License-Identifier: GPL-3.0-or-later
#include "url_opener.h"

#include <QDesktopServices>
#include <QUrl>

#include <utility>

namespace app {

namespace {

UrlOpener &replacement()
{
    static UrlOpener opener;
    return opener;
}

} // namespace

void OpenUrl(const QString &link)
{
    if (replacement()) {
        replacement()(link);
        return;
    }
    QDesktopServices::openUrl(QUrl(link));
}

UrlOpener setUrlOpener(UrlOpener opener)
{
    return std::exchange(replacement(), std::move(opener));
}

} // namespace app
